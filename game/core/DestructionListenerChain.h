#pragma once

#include <box2d/box2d.h>

#include <memory>
#include <utility>
#include <vector>

// A Box2D world takes one destruction listener; this is it whenever more than one part of the
// game needs to hear of joints and fixtures destroyed along with their body (the physics system's
// listener, the debug mouse's, the ropes' joint watch). Each listener added to a world's chain is
// told in the order added; the chain leaves the world when its last listener is removed, and is
// forgotten with its world. Listeners are not owned. Engine thread only.
class DestructionListenerChain : public b2DestructionListener {
public:
    static void add(b2World* world, b2DestructionListener* listener);
    // A listener may remove itself, or another, while it is being told.
    static void remove(b2World* world, b2DestructionListener* listener);
    // The world is going: its chain goes without touching it.
    static void forgetWorld(const b2World* world);
    // How many listeners the world's chain holds.
    static size_t listenerCount(const b2World* world);

    void SayGoodbye(b2Joint* joint) override;
    void SayGoodbye(b2Fixture* fixture) override;

private:
    using Chains = std::vector<std::pair<const b2World*, std::unique_ptr<DestructionListenerChain>>>;
    static Chains& chains();
    static DestructionListenerChain* chainOf(const b2World* world);
    // Tells every listener, then drops the removed ones; the chain goes when none is left.
    template <typename T>
    void tell(T* destroyed);

    b2World* world_ = nullptr;                     // not owned
    std::vector<b2DestructionListener*> listeners_;  // null: removed during a walk
    int walking_ = 0;  // walks under way
};
