#pragma once

#include "engine/actions/interval/CCActionCamera.h"

// Swings the target's camera eye around the camera's centre on a sphere: the radius, the angle
// from the z axis (angleZ) and the angle around it from the x axis (angleX) go from their start
// values by their deltas. Radii are in units of the standard eye distance (CCCamera::getZEye),
// angles in degrees. Only the eye moves.
class CCOrbitCamera : public CCActionCamera {
public:
    static RefPtr<CCOrbitCamera> actionWithDuration(float duration, float radius, float deltaRadius, float angleZ,
                                                    float deltaAngleZ, float angleX, float deltaAngleX);
    bool initWithDuration(float duration, float radius, float deltaRadius, float angleZ, float deltaAngleZ,
                          float angleX, float deltaAngleX);

    // The same duration, radii and angles.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    void update(float t) override;

    // The target's camera eye relative to its centre in spherical coordinates: radius in units of
    // the standard eye distance, zenith from the z axis and azimuth around it from the x axis, in
    // radians. Zeros while the action has no node target.
    void sphericalRadius(float* radius, float* zenith, float* azimuth) const;

protected:
    CCOrbitCamera* makeEmptyCopy() const override { return new CCOrbitCamera; }

private:
    float radius_ = 0, deltaRadius_ = 0;            // standard eye distances
    float angleZ_ = 0, deltaAngleZ_ = 0;            // degrees
    float angleX_ = 0, deltaAngleX_ = 0;            // degrees
    float radZ_ = 0, radDeltaZ_ = 0;                // radians; radZ_ set at start
    float radX_ = 0, radDeltaX_ = 0;                // radians; radX_ set at start
};
