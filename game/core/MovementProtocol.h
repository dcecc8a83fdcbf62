#pragma once

#include "platform/foundation/Object.h"

// A movement that drives a scene node every frame: along a path or around an orbit. Game objects
// receive one from the game-object base and keep it alive with their node.
class MovementProtocol : public Object {
public:
    virtual void update(float dt) = 0;
    // The frame step while the game is paused.
    virtual void updateSystemPaused(float dt) = 0;
    virtual void stop() = 0;
    virtual void useRandomDirection() = 0;
    // Progress along the movement, 0 to 1.
    virtual float perc() const = 0;
    virtual void setPerc(float perc) = 0;
    virtual void setPerc(float perc, float dt) = 0;
    virtual bool usesRandomDirection() const = 0;
    virtual void setUsesRandomDirection(bool random) = 0;
};
