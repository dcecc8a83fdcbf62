#include "engine/actions/grid/CCRipple3D.h"

#include <cmath>

#include "engine/core/support/ccPointMath.h"

RefPtr<CCRipple3D> CCRipple3D::actionWithPosition(CGPoint position, float radius, int32_t waves, float amplitude,
                                                  ccGridSize gridSize, float duration) {
    auto action = makeRef<CCRipple3D>();
    action->initWithPosition(position, radius, waves, amplitude, gridSize, duration);
    return action;
}

bool CCRipple3D::initWithPosition(CGPoint position, float radius, int32_t waves, float amplitude,
                                  ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    position_ = position;
    radius_ = radius;
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1;
    return true;
}

RefPtr<CCAction> CCRipple3D::copy() const {
    RefPtr<CCRipple3D> copy(makeEmptyCopy());
    copy->initWithPosition(position_, radius_, waves_, amplitude_, gridSize(), duration_);
    return copy;
}

void CCRipple3D::update(float t) {
    const double wave = phase(waves_, t);
    const float a = scaledAmplitude();
    deformVertices([&](ccGridSize, ccVertex3F v) {
        const double d = ccPointLength(CGPointMake(position_.x - v.x, position_.y - v.y));
        if (d < radius_) {
            const double r = radius_ - d;
            const float rate = std::pow(static_cast<float>(r / radius_), 2.0f);
            v.z += std::sin(static_cast<float>(wave + r * static_cast<double>(0.1f))) * a * rate;
        }
        return v;
    });
}
