#include "game/core/PhysicsChecks.h"

#include "platform/foundation/Log.h"

bool worldAcceptsChanges(const b2World* world, const char* operation) {
    if (!world) {
        logLine("Physics: %s refused: there is no world", operation);
        return false;
    }
    if (world->IsLocked()) {
        logLine("Physics: %s refused: the world is inside its step", operation);
        return false;
    }
    return true;
}

bool applyForceChecked(b2Body* body, b2Vec2 force, b2Vec2 point) {
    if (!isFinite(force) || !isFinite(point)) {
        logLine("Physics: ApplyForce refused: force is not finite");
        return false;
    }
    body->ApplyForce(force, point, true);
    return true;
}

bool applyTorqueChecked(b2Body* body, float torque) {
    if (!std::isfinite(torque)) {
        logLine("Physics: ApplyTorque refused: torque is not finite");
        return false;
    }
    body->ApplyTorque(torque, true);
    return true;
}

bool setTransformChecked(b2Body* body, b2Vec2 position, float angle) {
    if (!isFinite(position) || !std::isfinite(angle)) {
        logLine("Physics: SetTransform refused: pose is not finite");
        return false;
    }
    if (!worldAcceptsChanges(body->GetWorld(), "SetTransform")) return false;
    body->SetTransform(position, angle);
    return true;
}
