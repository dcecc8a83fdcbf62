#pragma once

#include <box2d/box2d.h>

// Box2D's destruction listener (told of joints and fixtures destroyed along with their body) with
// the same pre- and post-step hooks as the contact listener.
class PhysicsSystemDestructionListener : public b2DestructionListener {
public:
    virtual void preStep() {}
    virtual void postStep() {}
};
