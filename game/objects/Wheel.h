#pragma once

#include <cstdint>

#include "game/core/GameObject.h"

class PhysicsSprite;

namespace game {

// A big wheel of "segment_count" identical segments about its centre, turning on a
// motorised revolute joint to the ground or a given body ("motor_speed" in radians per second).
// "wheel": "image_name" (default "<img>_wheel"), "segment_count" (1 to 256), "segment_anchor_point",
// "fixtures" of one segment, physics and motor settings; "centre" (optional): "image_name"
// (default "<img>_centre"), drawn over the segments. The instance's scale shapes the fixtures,
// not the art. Sensor fixtures are hiding places for the bee. Fixtures: group 0, kProp meeting
// collision::kSolidMask. Priority 1, no update.
//
// Refused (null, one log line): a missing segment frame, a scale of about 0, or more than 256
// segments. 0 segments or fewer make a body without fixtures.
class Wheel : public GameObject {
public:
    static constexpr int32_t kMaxSegments = 256;

    static RefPtr<Wheel> wheelWithGameData(const Value& data) {
        return withGameData(data, &wheelWithType, InstanceScale::kRead);
    }
    static RefPtr<Wheel> wheelWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                       b2Body* joinToBody);

    b2Body* getPrimaryBody() override;
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }

protected:
    ~Wheel() override;

private:
    Wheel() = default;
    bool createWheel(CGPoint position, float rotation, float scaleX, float scaleY, b2Body* joinToBody);

    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
