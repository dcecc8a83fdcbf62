#include "engine/actions/grid/CCLens3D.h"

#include <cmath>

#include "engine/core/support/ccPointMath.h"

RefPtr<CCLens3D> CCLens3D::actionWithPosition(CGPoint position, float radius, ccGridSize gridSize, float duration) {
    auto action = makeRef<CCLens3D>();
    action->initWithPosition(position, radius, gridSize, duration);
    return action;
}

bool CCLens3D::initWithPosition(CGPoint position, float radius, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    position_ = CGPointMake(-1, -1);
    setPosition(position);
    radius_ = radius;
    lensEffect_ = 0.7f;
    dirty_ = true;
    return true;
}

RefPtr<CCAction> CCLens3D::copy() const {
    RefPtr<CCLens3D> copy(makeEmptyCopy());
    copy->initWithPosition(position_, radius_, gridSize(), duration_);
    return copy;
}

void CCLens3D::setPosition(CGPoint position) {
    if (position == position_) return;
    position_ = position;
    dirty_ = true;
}

void CCLens3D::update(float) {
    if (!dirty_ || !grid3D()) return;
    deformVertices([&](ccGridSize, ccVertex3F v) {
        const CGPoint toCentre = CGPointMake(position_.x - v.x, position_.y - v.y);
        const double d = ccPointLength(toCentre);
        if (d > 0 && d < radius_) {
            const auto pre = static_cast<float>((radius_ - d) / radius_);
            const float newR = radius_ * std::exp(lensEffect_ * std::log(pre));
            const CGPoint unit = ccPointNormalize(toCentre);
            const CGPoint scaled = CGPointMake(unit.x * newR, unit.y * newR);
            v.z += static_cast<float>(ccPointLength(scaled)) * lensEffect_;
        }
        return v;
    });
    dirty_ = false;
}
