#pragma once

#include <box2d/box2d.h>

// Something that shows a body and follows it smoothly: the physics system hands it the body's
// pose before the last fixed step of a frame (previous) and the blend between that and the
// current pose (smoothed); positions in metres, angles in radians counter-clockwise.
class PhysicsSystemSynchronisable {
public:
    virtual ~PhysicsSystemSynchronisable() = default;

    virtual b2Vec2 previousPosition() const = 0;
    virtual void setPreviousPosition(b2Vec2 position) = 0;
    virtual b2Vec2 smoothedPosition() const = 0;
    virtual void setSmoothedPosition(b2Vec2 position) = 0;
    virtual float previousAngle() const = 0;
    virtual void setPreviousAngle(float angle) = 0;
    virtual float smoothedAngle() const = 0;
    virtual void setSmoothedAngle(float angle) = 0;

    // Points the binding at itself and zeroes both poses.
    virtual void initPhysicsSystemSynchronisable() = 0;
    virtual void setPreviousPosition(b2Vec2 position, float angle) = 0;
    virtual void setSmoothedPosition(b2Vec2 position, float angle) = 0;
    virtual void setPreviousPosition(b2Vec2 position, float angle, b2Vec2 smoothedPosition, float smoothedAngle) = 0;

    // The shown pose from the body's current pose, from the smoothed pose, and the body's pose
    // from the shown one.
    virtual void synchronise() = 0;
    virtual void synchroniseSmoothed() = 0;
    virtual void synchroniseBody() = 0;
};
