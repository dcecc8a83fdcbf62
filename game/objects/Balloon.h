#pragma once

#include <cstdint>

#include "game/core/GameObject.h"

class PhysicsSprite;

namespace game {

class VRope;

// A balloon: a buoyant balloon body lifted by the anti-gravity controller, a basket
// hanging from it on a revolute joint, and a rock ballast under the basket, tied by a verlet rope
// (a "rope" entry: a distance joint that only stops the rock going further than its length) or by
// a stiff "wire" body pinned at both ends. The basket's sensor fixtures are hiding places; its
// "honey_jars" and "time_bonuses" points become pickups 100 and 105 filed with the level.
// Image defaults: "<img>_half" (drawn twice, back to back), "_basket", "_rock", "_rope" (a file),
// "_wire". Fixtures: group 0, scenery meeting collision::kSolidMask. The instance's scale is not used.
// Priority 1, or 2 with a rope, which it steps every frame.
//
// Refused (null, one log line): a wire of length 0 or with its frame missing.
class Balloon : public GameObject {
public:
    static RefPtr<Balloon> balloonWithGameData(const Value& data) {
        return withGameData(data, &balloonWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Balloon> balloonWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    void update(float dt) override;

    PhysicsSprite* physicsSpriteBalloon() const { return balloon_.get(); }
    PhysicsSprite* physicsSpriteBasket() const { return basket_.get(); }
    PhysicsSprite* physicsSpriteWire() const { return wire_.get(); }
    PhysicsSprite* physicsSpriteRock() const { return rock_.get(); }
    VRope* rope() const { return rope_.get(); }
    bool usesRope() const { return usesRope_; }
    b2Body* getPrimaryBody() override;

protected:
    ~Balloon() override;

private:
    Balloon() = default;
    bool createBalloon(CGPoint position, float rotation);
    void addPickups(const Value& points, int32_t pickupType, CGPoint basket, CGPoint position, float rotation);

    RefPtr<PhysicsSprite> balloon_;
    RefPtr<PhysicsSprite> basket_;
    RefPtr<PhysicsSprite> wire_;
    RefPtr<PhysicsSprite> rock_;
    RefPtr<VRope> rope_;
    bool usesRope_ = false;
};

}  // namespace game
