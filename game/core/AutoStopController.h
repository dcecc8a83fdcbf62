#pragma once

#include "game/core/PhysicsSystemController.h"

// Brings its bodies to rest after every step: bodies in its list move only by what happens
// inside a step. Static bodies are left alone and nothing is woken.
class AutoStopController : public PhysicsSystemController {
public:
    void step(float dt) override;
};
