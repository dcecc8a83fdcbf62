#pragma once

#include <box2d/box2d.h>

#include <utility>
#include <vector>

#include "game/core/PhysicsSystemDestructionListener.h"

class PhysicsSystem;

namespace game {

class VRope;

// The running physics system's destruction listener while ropes hang on joints: when Box2D
// destroys a watched joint along with one of its bodies, the rope is told before the joint is
// freed. It stands in front of the listener the system had (the debug mouse's, for one) and passes
// every call on to it; the last rope to go puts that listener back. Engine thread only.
class RopeJointWatch : public PhysicsSystemDestructionListener {
public:
    // Watches the joint for the rope, in the running play scene's physics system (nothing without
    // one, or when the joint belongs to another world).
    static void watch(b2Joint* joint, VRope* rope);
    static void forget(b2Joint* joint);
    // The watch in place, or null.
    static RopeJointWatch* current();

    void SayGoodbye(b2Joint* joint) override;
    void SayGoodbye(b2Fixture* fixture) override;
    void preStep() override;
    void postStep() override;

    size_t watchedCount() const { return ropes_.size(); }

private:
    RopeJointWatch(PhysicsSystem* system, PhysicsSystemDestructionListener* next);

    PhysicsSystem* system_;                   // not owned
    PhysicsSystemDestructionListener* next_;  // not owned; may be null
    std::vector<std::pair<b2Joint*, VRope*>> ropes_;
};

}  // namespace game
