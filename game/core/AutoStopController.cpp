#include "game/core/AutoStopController.h"

void AutoStopController::step(float) {
    forEachActiveBody([](b2Body* body) {
        if (body->GetType() == b2_staticBody) return;
        body->SetLinearVelocity(b2Vec2(0, 0));
        body->SetAngularVelocity(0);
    });
}
