#pragma once

#include <box2d/box2d.h>

#include <cmath>

// Guards around the Box2D calls that the system's build turns into aborts: non-finite numbers
// and world changes while the world is inside its step. Each refusal logs one line naming the
// operation ("Physics: ApplyForce refused: force is not finite").

inline bool isFinite(b2Vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// The values level and object data may give a body or a fixture. Box2D aborts on negative or
// non-finite damping and material; beyond these bounds its sums overflow (a density of 1e38 makes
// an infinite mass) or bodies gain energy at every bounce (restitution above 1).
struct PhysicsValueRange {
    float least;
    float most;
    bool holds(float value) const { return std::isfinite(value) && value >= least && value <= most; }
};
inline constexpr PhysicsValueRange kDampingRange{0, 1000};       // per second
inline constexpr PhysicsValueRange kDensityRange{0, 10000};      // kg per square metre
inline constexpr PhysicsValueRange kFrictionRange{0, 100};
inline constexpr PhysicsValueRange kRestitutionRange{0, 1};
inline constexpr PhysicsValueRange kGravityScaleRange{-100, 100};

// True when the world may change now; false, with one log line naming the operation, while the
// world is locked inside its step or callbacks (or when it is null).
bool worldAcceptsChanges(const b2World* world, const char* operation);

// Box2D's calls with the wake flag set, refused with a log line when a value is not finite.
bool applyForceChecked(b2Body* body, b2Vec2 force, b2Vec2 point);
bool applyTorqueChecked(b2Body* body, float torque);
// SetTransform refused while the world is locked or when the pose is not finite.
bool setTransformChecked(b2Body* body, b2Vec2 position, float angle);
