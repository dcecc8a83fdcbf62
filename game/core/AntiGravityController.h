#pragma once

#include "game/core/GravityController.h"

// The gravity controller's force turned round: it pushes its bodies straight away from the
// world origin.
class AntiGravityController : public GravityController {
public:
    explicit AntiGravityController(float strength) : GravityController(strength, true) {}
};
