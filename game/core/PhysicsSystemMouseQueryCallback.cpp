#include "game/core/PhysicsSystemMouseQueryCallback.h"

bool PhysicsSystemMouseQueryCallback::ReportFixture(b2Fixture* fixture) {
    const b2Body* body = fixture->GetBody();
    if (body->GetType() == bodyType_ && fixture->GetShape()->TestPoint(body->GetTransform(), point_)) {
        fixture_ = fixture;
        return false;
    }
    return true;
}
