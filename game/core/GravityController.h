#pragma once

#include "game/core/PhysicsSystemController.h"

// Pulls its dynamic bodies towards the world origin, the planet's centre: each step a force of
// gravity scale x strength x mass newtons through the centre of mass, along the line from the
// body's origin to the world origin. With strength 10 every body falls at 10 m/s^2 whatever its
// distance from the centre.
class GravityController : public PhysicsSystemController {
public:
    explicit GravityController(float strength) : GravityController(strength, false) {}

    // Newtons per kilogram. A value that is not finite is refused with a log line.
    float strength() const { return strength_; }
    void setStrength(float strength);
    // The force the last stepped body received (starts as (0, strength)).
    b2Vec2 lastForce() const { return lastForce_; }

    // dt is not used: a force acts for whatever step follows.
    void step(float dt) override;

protected:
    // pushAway: the force points away from the origin instead.
    GravityController(float strength, bool pushAway);

private:
    float strength_;
    bool pushAway_;
    b2Vec2 lastForce_;
};
