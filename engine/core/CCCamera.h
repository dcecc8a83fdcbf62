#pragma once

#include <string>

#include "engine/core/math/kmMat4.h"
#include "platform/foundation/Object.h"

// A node's look-at camera: an eye looking at a centre with an up direction, applied to the node's
// model-view matrix while the node builds its transform. A restored camera changes nothing
// visible. The orbit-camera action and the flip transitions move it.
// Nodes make their camera on first use of CCNode::camera(). Engine thread only.
class CCCamera : public Object {
public:
    // Restored.
    CCCamera();

    // "<CCCamera = 0x... | center = (0.00,0.00,0.00)>".
    std::string description() const override;

    // Eye (0, 0, getZEye()), centre (0, 0, 0), up (0, 1, 0), identity matrix, not dirty.
    void restore();
    // The eye distance of a restored camera: the single-precision epsilon.
    static float getZEye();

    // Each setter stores and marks the camera dirty.
    void setEyeX(float eyeX, float eyeY, float eyeZ);
    void setCenterX(float centerX, float centerY, float centerZ);
    void setUpX(float upX, float upY, float upZ);
    // Each getter writes the three values out.
    void eyeX(float* eyeX, float* eyeY, float* eyeZ) const;
    void centerX(float* centerX, float* centerY, float* centerZ) const;
    void upX(float* upX, float* upY, float* upZ) const;

    // The look-at matrix must be rebuilt before its next use.
    bool dirty() const { return dirty_; }
    void setDirty(bool dirty) { dirty_ = dirty; }

    // Rebuilds the look-at matrix when dirty, then multiplies the current matrix stack's top by it.
    void locate();

private:
    float eyeX_ = 0, eyeY_ = 0, eyeZ_ = 0;
    float centerX_ = 0, centerY_ = 0, centerZ_ = 0;
    float upX_ = 0, upY_ = 0, upZ_ = 0;  // need not be normalised
    bool dirty_ = false;
    kmMat4 lookupMatrix_{};  // valid while !dirty_
};
