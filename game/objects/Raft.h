#pragma once

#include <cstdint>

#include "game/core/GameObject.h"

class PhysicsSprite;

namespace game {

// A floating raft: two mirrored halves, a mast and a flag on one body that glides
// round the planet held upright to it, sliding along its radial line on a wheel joint to a pivot
// turning about the planet's centre, sprung when "wheel_joint_frequency" (Hz) is above 0 with
// "wheel_joint_damping_ratio". Keys: "raft_right_position", "raft_left_position", "flag_position",
// "flag_image_name" and "mast_image_name" (default "<img>_mast"), "mast_height", "mast_base_position",
// "fixtures", physics settings. Fixtures: group 7, kProp meeting collision::kPropMask. Not in a gravity
// controller. Priority 1, no update.
//
// Refused (null, one log line): a raft placed at the planet's centre (no radial line) or a mast
// frame that is missing.
class Raft : public GameObject {
public:
    static RefPtr<Raft> raftWithGameData(const Value& data) {
        return withGameData(data, &raftWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Raft> raftWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    b2Body* getPrimaryBody() override;

protected:
    ~Raft() override;

private:
    Raft() = default;
    bool createRaft(CGPoint position, float rotation);

    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
