#pragma once

#include <cstdint>

#include "engine/core/ccTypes.h"
#include "game/core/GameObject.h"
#include "game/core/HiveProtocol.h"

class CCSprite;

namespace game {

// The level's hive (type 1000): an inner sprite, a honey fill that rises with the honey the bee
// has delivered this game against the level's reference honey, and an outer sprite drawn over
// both, in the foreground layer. Its position is the point on the hive's axis level with the top
// of the honey, where the night flight, the transfer stream and the hive's messages aim.
// Priority 2: the level updates it every frame.
//
// Frames "hive_inner.png", "hive_honey.png", "hive_outer.png". The instance's scale is not used.
class Hive : public GameObject, public HiveProtocol {
public:
    static RefPtr<Hive> hiveWithGameData(const Value& data) {
        return withGameData(data, &hiveWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Hive> hiveWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    // Takes the player's delivered honey.
    void update(float dt) override;
    // The fill for this much honey (nectar units): honey / reference clamped to [0, 1]; a
    // reference of 0 shows a full hive.
    void showHoney(float hiveHoney);
    float honeyFill() const;

    // HiveProtocol.
    CGPoint position() const override;
    void setTint(ccColor3B colour) override;

    CCSprite* bg() const { return bg_.get(); }
    CCSprite* honey() const { return honey_.get(); }
    CCSprite* fg() const { return fg_.get(); }

protected:
    ~Hive() override;

private:
    Hive() = default;
    void createHive(CGPoint position, float rotation);

    RefPtr<CCSprite> bg_;      // inner
    RefPtr<CCSprite> honey_;   // child of bg_, anchored at its lower left corner
    RefPtr<CCSprite> fg_;      // outer
    float referenceHoney_ = 0; // nectar units that fill the hive
};

}  // namespace game
