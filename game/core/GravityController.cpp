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
        // The body's origin, not its centre of mass, gives the direction; at the origin itself
        // atan2(-0, -0) = -pi pushes along -x.
        const float angle = pushAway_ ? std::atan2(position.y, position.x) : std::atan2(-position.y, -position.x);
        const float magnitude = body->GetGravityScale() * strength_ * body->GetMass();
        lastForce_.Set(std::cos(angle) * magnitude, std::sin(angle) * magnitude);
        if (body->GetType() == b2_dynamicBody) applyForceChecked(body, lastForce_, body->GetWorldCenter());
    });
}
