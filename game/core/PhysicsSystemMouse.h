#pragma once

#include <box2d/box2d.h>

#include <array>
#include <cstdint>
#include <memory>

class PhysicsSystemMouseDestructionListener;

// Lets up to eleven pointers drag dynamic bodies, each through a mouse joint anchored on the
// ground body. Points are in metres; slots are numbered 0 to 10, and a slot outside that range
// answers false or null. A development aid, not part of normal play. Engine thread only.
class PhysicsSystemMouse {
public:
    static constexpr int32_t kMaxJoints = 11;

    PhysicsSystemMouse(b2World* world, b2Body* groundBody);
    // Takes its destruction listener off the world's chain, then lets go of every joint.
    virtual ~PhysicsSystemMouse();
    PhysicsSystemMouse(const PhysicsSystemMouse&) = delete;
    PhysicsSystemMouse& operator=(const PhysicsSystemMouse&) = delete;

    // Adds a listener to the world's destruction chain (once) that empties a slot when its joint
    // goes with its body.
    void installDestructionListener();

    // Grabs the dynamic body under the point with slot `index` (letting go of what that slot
    // held); false when there is none, or for a point that is not finite.
    bool mouseDown(b2Vec2 point, int32_t index);
    // Moves the slot's target; false when the slot holds nothing.
    bool mouseMove(b2Vec2 point, int32_t index);
    // Lets go; false when the slot holds nothing.
    bool mouseUp(int32_t index);

    b2MouseJoint* jointAt(int32_t index) const;
    // The dragged body of the slot, or null.
    b2Body* bodyAt(int32_t index) const;
    // Empties the slot of a joint Box2D has destroyed, without touching the joint.
    void forgetJoint(b2Joint* joint);
    void releaseAll();

    bool active() const { return active_; }
    int32_t jointCount() const { return jointCount_; }

private:
    static bool validSlot(int32_t index);
    void emptySlot(int32_t index);

    bool active_ = false;
    int32_t jointCount_ = 0;  // 0 to kMaxJoints
    std::unique_ptr<PhysicsSystemMouseDestructionListener> destructionListener_;
    b2World* world_;
    b2Body* groundBody_;
    std::array<b2MouseJoint*, kMaxJoints> joints_{};
};
