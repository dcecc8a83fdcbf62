#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCNode;

// A 2D camera: a position in the world (points), a rotation (degrees, counter-clockwise) and a
// zoom (the world drawn magnified by `scale`). The world is shown by giving its root node the
// inverse transform. The transforms are cached and rebuilt on the first read after a change.
class Camera : public Object {
public:
    // At the origin, unrotated, scale 1.
    Camera() = default;
    Camera(CGPoint position, float rotation, float scale);

    CGPoint position() const { return position_; }
    void setPosition(CGPoint position);
    float rotation() const { return rotation_; }
    void setRotation(float rotation);
    float scale() const { return scale_; }
    void setScale(float scale);
    void setPosition(CGPoint position, float rotation, float scale);

    // Camera space to world: q -> position + R(rotation) (q / scale).
    const CGAffineTransform& transform();
    // World to camera space, and its parts.
    const CGAffineTransform& inverseTransform();
    CGPoint inverseTranslation();
    float inverseRotation();
    float inverseScale();

    // Rebuilds the cached transforms when a value changed since the last build.
    void updateTransforms();
    // The node takes the camera's pose, or its inverse (nodes turn clockwise).
    void applyTransformToNode(CCNode* node) const;
    void applyInverseTransformToNode(CCNode* node);

private:
    CGPoint position_ = CGPointZero;
    float rotation_ = 0;   // degrees
    float scale_ = 1;
    CGAffineTransform transform_{1, 0, 0, 1, 0, 0};
    CGAffineTransform inverseTransform_{1, 0, 0, 1, 0, 0};
    CGPoint inverseTransformTranslation_ = CGPointZero;
    float inverseTransformRotation_ = 0;  // degrees
    float inverseTransformScale_ = 1;
    bool dirty_ = false;
};
