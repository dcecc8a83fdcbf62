#include "game/core/PhysicsSystemMouseDestructionListener.h"

#include "game/core/PhysicsSystemMouse.h"

void PhysicsSystemMouseDestructionListener::SayGoodbye(b2Joint* joint) {
    if (mouse_->active() && joint->GetUserData().pointer == reinterpret_cast<uintptr_t>(mouse_)) {
        mouse_->forgetJoint(joint);
    }
}
