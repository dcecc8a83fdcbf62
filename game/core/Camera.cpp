#include "game/core/Camera.h"

#include <cmath>

#include "engine/core/CCNode.h"
#include "game/core/Units.h"

Camera::Camera(CGPoint position, float rotation, float scale)
    : position_(position), rotation_(rotation), scale_(scale), dirty_(true) {
    updateTransforms();
}

void Camera::setPosition(CGPoint position) {
    position_ = position;
    dirty_ = true;
}

void Camera::setRotation(float rotation) {
    rotation_ = rotation;
    dirty_ = true;
}

void Camera::setScale(float scale) {
    scale_ = scale;
    dirty_ = true;
}

void Camera::setPosition(CGPoint position, float rotation, float scale) {
    position_ = position;
    rotation_ = rotation;
    scale_ = scale;
    dirty_ = true;
}

const CGAffineTransform& Camera::transform() {
    updateTransforms();
    return transform_;
}

const CGAffineTransform& Camera::inverseTransform() {
    updateTransforms();
    return inverseTransform_;
}

CGPoint Camera::inverseTranslation() {
    updateTransforms();
    return inverseTransformTranslation_;
}

float Camera::inverseRotation() {
    updateTransforms();
    return inverseTransformRotation_;
}

float Camera::inverseScale() {
    updateTransforms();
    return inverseTransformScale_;
}

void Camera::updateTransforms() {
    if (!dirty_) return;
    const double r = rotation_ * units::kRadiansPerDegree;
    const double s = scale_;
    const double c = std::cos(r);
    const double n = std::sin(r);
    transform_ = {c / s, n / s, -n / s, c / s, position_.x, position_.y};
    inverseTransform_ = CGAffineTransformInvert(transform_);
    inverseTransformTranslation_ = {inverseTransform_.tx, inverseTransform_.ty};
    inverseTransformRotation_ =
        static_cast<float>(std::atan2(inverseTransform_.b, inverseTransform_.a) * units::kDegreesPerRadian);
    inverseTransformScale_ =
        static_cast<float>(std::sqrt(inverseTransform_.a * inverseTransform_.a + inverseTransform_.c * inverseTransform_.c));
    dirty_ = false;
}

void Camera::applyTransformToNode(CCNode* node) const {
    if (!node) return;
    node->setPosition(position_);
    node->setRotation(-rotation_);
    node->setScale(scale_);
}

void Camera::applyInverseTransformToNode(CCNode* node) {
    if (!node) return;
    updateTransforms();
    node->setPosition(inverseTransformTranslation_);
    node->setRotation(-inverseTransformRotation_);
    node->setScale(inverseTransformScale_);
}
