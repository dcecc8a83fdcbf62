#include "game/core/PhysicsSystemController.h"

#include <algorithm>

void PhysicsSystemController::removeBody(b2Body* body) { std::erase(bodies_, body); }

void PhysicsSystemController::step(float) {}
