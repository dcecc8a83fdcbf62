#include "engine/core/CCCamera.h"

#include <limits>

#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/math/kmVec3.h"
#include "platform/foundation/StringUtils.h"

CCCamera::CCCamera() { restore(); }

std::string CCCamera::description() const {
    return stringWithFormat("<%s = %p | center = (%.2f,%.2f,%.2f)>", className(*this).c_str(),
                            static_cast<const void*>(this), centerX_, centerY_, centerZ_);
}

void CCCamera::restore() {
    eyeX_ = eyeY_ = 0;
    eyeZ_ = getZEye();
    centerX_ = centerY_ = centerZ_ = 0;
    upX_ = 0;
    upY_ = 1;
    upZ_ = 0;
    kmMat4MakeIdentity(&lookupMatrix_);
    dirty_ = false;
}

float CCCamera::getZEye() { return std::numeric_limits<float>::epsilon(); }

void CCCamera::setEyeX(float eyeX, float eyeY, float eyeZ) {
    eyeX_ = eyeX;
    eyeY_ = eyeY;
    eyeZ_ = eyeZ;
    dirty_ = true;
}

void CCCamera::setCenterX(float centerX, float centerY, float centerZ) {
    centerX_ = centerX;
    centerY_ = centerY;
    centerZ_ = centerZ;
    dirty_ = true;
}

void CCCamera::setUpX(float upX, float upY, float upZ) {
    upX_ = upX;
    upY_ = upY;
    upZ_ = upZ;
    dirty_ = true;
}

void CCCamera::eyeX(float* eyeX, float* eyeY, float* eyeZ) const {
    *eyeX = eyeX_;
    *eyeY = eyeY_;
    *eyeZ = eyeZ_;
}

void CCCamera::centerX(float* centerX, float* centerY, float* centerZ) const {
    *centerX = centerX_;
    *centerY = centerY_;
    *centerZ = centerZ_;
}

void CCCamera::upX(float* upX, float* upY, float* upZ) const {
    *upX = upX_;
    *upY = upY_;
    *upZ = upZ_;
}

void CCCamera::locate() {
    if (dirty_) {
        kmVec3 eye{eyeX_, eyeY_, eyeZ_};
        kmVec3 center{centerX_, centerY_, centerZ_};
        kmVec3 up{upX_, upY_, upZ_};
        kmMat4MakeLookAt(&lookupMatrix_, &eye, &center, &up);
        dirty_ = false;
    }
    kmGLMultiply(&lookupMatrix_);
}
