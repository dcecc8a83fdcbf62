#include "engine/actions/interval/CCOrbitCamera.h"

#include <cfloat>
#include <cmath>
#include <numbers>

#include "engine/core/CCNode.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

}  // namespace

RefPtr<CCOrbitCamera> CCOrbitCamera::actionWithDuration(float duration, float radius, float deltaRadius,
                                                        float angleZ, float deltaAngleZ, float angleX,
                                                        float deltaAngleX) {
    RefPtr<CCOrbitCamera> action = makeRef<CCOrbitCamera>();
    action->initWithDuration(duration, radius, deltaRadius, angleZ, deltaAngleZ, angleX, deltaAngleX);
    return action;
}

bool CCOrbitCamera::initWithDuration(float duration, float radius, float deltaRadius, float angleZ,
                                     float deltaAngleZ, float angleX, float deltaAngleX) {
    CCActionCamera::initWithDuration(duration);
    radius_ = radius;
    deltaRadius_ = deltaRadius;
    angleZ_ = angleZ;
    deltaAngleZ_ = deltaAngleZ;
    angleX_ = angleX;
    deltaAngleX_ = deltaAngleX;
    radDeltaZ_ = deltaAngleZ * kDegreesToRadians;
    radDeltaX_ = deltaAngleX * kDegreesToRadians;
    return true;
}

RefPtr<CCAction> CCOrbitCamera::copy() const {
    RefPtr<CCOrbitCamera> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, radius_, deltaRadius_, angleZ_, deltaAngleZ_, angleX_, deltaAngleX_);
    return copy;
}

void CCOrbitCamera::startWithTarget(Object* target) {
    CCActionCamera::startWithTarget(target);
    radZ_ = angleZ_ * kDegreesToRadians;
    radX_ = angleX_ * kDegreesToRadians;
}

void CCOrbitCamera::update(float t) {
    if (!node_) return;
    const float r = (radius_ + deltaRadius_ * t) * CCCamera::getZEye();
    const float za = radZ_ + radDeltaZ_ * t;
    const float xa = radX_ + radDeltaX_ * t;
    node_->camera()->setEyeX(centerXOrig_ + r * std::sin(za) * std::cos(xa),
                             centerYOrig_ + r * std::sin(za) * std::sin(xa), centerZOrig_ + r * std::cos(za));
}

void CCOrbitCamera::sphericalRadius(float* radius, float* zenith, float* azimuth) const {
    *radius = *zenith = *azimuth = 0;
    if (!node_) return;
    float ex, ey, ez, cx, cy, cz;
    node_->camera()->eyeX(&ex, &ey, &ez);
    node_->camera()->centerX(&cx, &cy, &cz);
    const float x = ex - cx, y = ey - cy, z = ez - cz;
    float r = std::sqrt(x * x + y * y + z * z);
    float s = std::sqrt(x * x + y * y);
    if (r == 0) r = FLT_EPSILON;
    if (s == 0) s = FLT_EPSILON;
    *zenith = std::acos(z / r);
    *azimuth = x < 0 ? std::numbers::pi_v<float> - std::asin(y / s) : std::asin(y / s);
    *radius = r / CCCamera::getZEye();
}
