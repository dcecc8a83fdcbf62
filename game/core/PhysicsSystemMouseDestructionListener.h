#pragma once

#include <box2d/box2d.h>

class PhysicsSystemMouse;

// Tells a dragger that one of its joints went with the body it dragged.
class PhysicsSystemMouseDestructionListener : public b2DestructionListener {
public:
    explicit PhysicsSystemMouseDestructionListener(PhysicsSystemMouse* mouse) : mouse_(mouse) {}

    // Only a joint whose user data is this listener's dragger, while it drags.
    void SayGoodbye(b2Joint* joint) override;
    void SayGoodbye(b2Fixture*) override {}

private:
    PhysicsSystemMouse* mouse_;  // not owned
};
