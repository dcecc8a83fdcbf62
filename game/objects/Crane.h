#pragma once

#include <cstdint>

#include "game/core/GameObject.h"

class PhysicsSprite;

namespace game {

// A crane: a holder sliding along its own x axis on a prismatic joint to the ground
// ("holder" "prismatic_joint": translations in points, "motor_speed" linear and taken as given,
// "motor_max_force"; missing: a free, unlimited slide), a cable hanging from it, a hook and a
// platform swinging from the hook with two decorative wires to its corners. Hook and platform fall
// under the planet's gravity; holder and cable do not. Every part's image defaults to
// "<img>_holder", the decorative wires' to "<img>_wire". The platform's fixtures scale with its
// image ("size"). Fixtures: group 0, scenery meeting collision::kSolidMask. The instance's scale is not used.
// Priority 1, no update.
//
// Refused (null, one log line): a platform "size" of 0, a missing platform or cable frame, or a
// cable of length 0.
class Crane : public GameObject {
public:
    static RefPtr<Crane> craneWithGameData(const Value& data) {
        return withGameData(data, &craneWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Crane> craneWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    PhysicsSprite* physicsSpriteHolder() const { return holder_.get(); }
    PhysicsSprite* physicsSpriteWire() const { return wire_.get(); }
    PhysicsSprite* physicsSpriteHook() const { return hook_.get(); }
    PhysicsSprite* physicsSpritePlatform() const { return platform_.get(); }
    b2Body* getPrimaryBody() override;

protected:
    ~Crane() override;

private:
    Crane() = default;
    bool createCrane(CGPoint position, float rotation);

    RefPtr<PhysicsSprite> holder_;
    RefPtr<PhysicsSprite> wire_;
    RefPtr<PhysicsSprite> hook_;
    RefPtr<PhysicsSprite> platform_;
};

}  // namespace game
