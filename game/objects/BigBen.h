#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

#include "game/core/GameObject.h"

class CCSprite;

namespace game {

// The hands of a clock tower's face at the computer's local time, set every frame:
// "big_hand_image_name" and "small_hand_image_name" (frames of hands drawn along +x),
// "big_hand_anchor_point" and "small_hand_anchor_point" (pivots in points of the hand images).
// No body. Priority 2. Local time is read with tzset and localtime_r each frame, so a change of
// time zone shows at the next frame.
class BigBen : public GameObject {
public:
    // Seconds since the epoch; time() unless a test sets another.
    using Clock = std::function<std::time_t()>;
    static void setClock(Clock clock);

    static RefPtr<BigBen> bigBenWithGameData(const Value& data) {
        return withGameData(data, &bigBenWithType, InstanceScale::kRead);
    }
    static RefPtr<BigBen> bigBenWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    void update(float dt) override;
    void updateClock();

    CCSprite* sprite() const { return sprite_.get(); }
    CCSprite* bigHandSprite() const { return bigHandSprite_; }
    CCSprite* smallHandSprite() const { return smallHandSprite_; }

protected:
    ~BigBen() override;

private:
    BigBen() = default;
    void createBigBen(CGPoint position, float rotation, float scaleX, float scaleY);

    RefPtr<CCSprite> sprite_;
    CCSprite* bigHandSprite_ = nullptr;    // kept by sprite_
    CCSprite* smallHandSprite_ = nullptr;  // kept by sprite_
};

}  // namespace game
