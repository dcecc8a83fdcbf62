#include "game/core/GravityController.h"

#include <cmath>

#include "game/core/PhysicsChecks.h"
#include "platform/foundation/Log.h"

GravityController::GravityController(float strength, bool pushAway)
    : strength_(std::isfinite(strength) ? strength : 0), pushAway_(pushAway), lastForce_(0, strength_) {
    if (!std::isfinite(strength)) logLine("Physics: gravity strength %g refused: not finite", strength);
}

void GravityController::setStrength(float strength) {
    if (!std::isfinite(strength)) {
        logLine("Physics: gravity strength %g refused: not finite", strength);
        return;
    }
    strength_ = strength;
}

void GravityController::step(float) {
    forEachActiveBody([this](b2Body* body) {
        const b2Vec2 position = body->GetPosition();
        // The body's origin, not its centre of mass, gives the direction (a division, not trigonometry:
        // this runs for every body every step). A body at the origin itself is pulled along -x and
        // pushed along +x; a position that is not finite makes a force that is refused.
        const float distance = position.Length();
        const b2Vec2 away = distance == 0 ? b2Vec2(1, 0) : (1 / distance) * position;
        const float magnitude = body->GetGravityScale() * strength_ * body->GetMass();
        lastForce_ = (pushAway_ ? magnitude : -magnitude) * away;
        if (body->GetType() == b2_dynamicBody) applyForceChecked(body, lastForce_, body->GetWorldCenter());
    });
}
