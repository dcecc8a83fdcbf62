#pragma once

#include <box2d/box2d.h>

#include <utility>
#include <vector>

namespace game {

class VRope;

// Tells a rope when Box2D destroys its joint along with one of the joint's bodies, before the
// joint is freed. One watch per world while ropes hang on joints there, on the world's
// destruction chain beside the other listeners. Engine thread only.
class RopeJointWatch : public b2DestructionListener {
public:
    static void watch(b2Joint* joint, VRope* rope);
    static void forget(b2Joint* joint);
    // How many joints are watched in the world.
    static size_t watchedCount(const b2World* world);

    void SayGoodbye(b2Joint* joint) override;
    void SayGoodbye(b2Fixture*) override {}

private:
    explicit RopeJointWatch(b2World* world) : world_(world) {}
    // Leaves the chain and goes, once nothing is watched.
    void dropIfIdle();

    b2World* world_;  // not owned
    std::vector<std::pair<b2Joint*, VRope*>> ropes_;
};

}  // namespace game
