#pragma once

#include <box2d/box2d.h>

#include <cstdint>

#include "game/core/LevelDataRange.h"
#include "platform/foundation/Object.h"

class Value;

namespace game {

// A push that an object gives a body for one physics step: a force of random magnitude and a
// random torque (Box2D units). The force's direction follows the mode:
//   0 fixed           "force_direction" in world axes (its length scales the force)
//   1 gravity relative "force_direction" turned so that +y points away from the planet centre
//                     at the source position
//   2 attract         from the body towards the source, unit length
//   3 repel           from the source towards the body, unit length
// and may be turned by a random angle up to the rotation offset. Only a dynamic body is pushed
// (and woken); forces that come out not finite are dropped with a log line.
//
// Keys: "force_mode" ("gravity_relative", "attract", "repel", else fixed), "force" or its pair
// (default 0), "force_rotation_offset" (degrees, absolute value), "force_direction" (point
// string, modes 0 and 1), "torque" or its pair (default 0), "torque_reversable" (random sign).
class SimpleEffector : public Object {
public:
    enum ForceMode : int32_t { kFixed = 0, kGravityRelative = 1, kAttract = 2, kRepel = 3 };

    // Null for a missing dictionary.
    static RefPtr<SimpleEffector> simpleEffectorWithDictionary(const Value& data);
    // Rotation offset in radians.
    static RefPtr<SimpleEffector> simpleEffector(ForceMode mode, float forceMin, float forceMax,
                                                 float forceRotationOffset, b2Vec2 forceDirection, float torqueMin,
                                                 float torqueMax, bool torqueReversable);

    // The source is the first body's origin.
    void applyFromBody(const b2Body* source, b2Body* target) const;
    // Source position in metres. Draws, in order: magnitude, (turn), torque, (sign).
    void applyFromWorldPosition(const b2Vec2& source, b2Body* target) const;

    ForceMode forceMode() const { return forceMode_; }

private:
    SimpleEffector() = default;

    ForceMode forceMode_ = kFixed;
    LevelDataRange force_;              // Box2D force units
    float forceRotationOffset_ = 0;     // radians, never negative: half-width of the random turn
    b2Vec2 forceDirection_{0, 0};
    LevelDataRange torque_;             // Box2D torque units
    bool torqueReversable_ = false;
};

}  // namespace game
