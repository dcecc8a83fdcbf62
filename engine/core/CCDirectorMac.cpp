#include "engine/core/CCDirectorMac.h"

#include <epoxy/gl.h>

#include <algorithm>

#include "engine/core/CCDirectorDelegate.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCGLView.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmVec3.h"

CCDirectorMac::CCDirectorMac() : eventDispatcher_(makeRef<CCEventDispatcher>()) { setContentScaleFactor(1.0); }

CCDirectorMac::~CCDirectorMac() = default;

void CCDirectorMac::setView(RefPtr<CCGLView> view) {
    if (view == view_) return;
    CCDirector::setView(std::move(view));
    if (!isFullScreen_ && originalWinSize_ == CGSizeZero) originalWinSize_ = winSizeInPixels_;
}

void CCDirectorMac::setResizeMode(int mode) {
    if (mode == resizeMode_) return;
    resizeMode_ = mode;
    setProjection(projection_);
}

void CCDirectorMac::setProjection(int kind) {
    projection_ = kind;
    const double width = winSizeInPixels_.width;
    const double height = winSizeInPixels_.height;
    // Nothing to project onto yet; the next reshape brings a size.
    if (!(width > 0 && height > 0)) return;

    float viewportX = 0, viewportY = 0;
    float viewportWidth = static_cast<float>(width), viewportHeight = static_cast<float>(height);
    float designWidth = static_cast<float>(width), designHeight = static_cast<float>(height);
    if (resizeMode_ == CCResizeModeKeepDesignSize && originalWinSize_.width > 0 && originalWinSize_.height > 0) {
        const float aspect = static_cast<float>(originalWinSize_.width / originalWinSize_.height);
        float h = static_cast<float>(width / aspect);
        float w;
        if (h > height) {
            h = static_cast<float>(height);
            w = static_cast<float>(aspect * height);
        } else {
            w = static_cast<float>(width);
        }
        winOffset_ = {(width - w) / 2, (height - h) / 2};
        viewportX = static_cast<float>(winOffset_.x);
        viewportY = static_cast<float>(winOffset_.y);
        viewportWidth = w;
        viewportHeight = h;
        designWidth = static_cast<float>(originalWinSize_.width);
        designHeight = static_cast<float>(originalWinSize_.height);
    }

    switch (kind) {
        case CCProjectionKind2D: {
            if (view_) {
                glViewport(static_cast<GLint>(viewportX), static_cast<GLint>(viewportY),
                           static_cast<GLsizei>(viewportWidth), static_cast<GLsizei>(viewportHeight));
            }
            kmMat4 ortho;
            kmGLSetMatrixMode(KM_GL_PROJECTION);
            kmGLSetIdentity();
            kmMat4MakeOrtho(&ortho, 0, designWidth, 0, designHeight, -1024, 1024);
            kmGLMultiply(&ortho);
            kmGLSetMatrixMode(KM_GL_MODELVIEW);
            kmGLSetIdentity();
            break;
        }
        case CCProjectionKind3D: {
            const float zEye = getZEye();
            if (view_) {
                glViewport(static_cast<GLint>(viewportX), static_cast<GLint>(viewportY),
                           static_cast<GLsizei>(viewportWidth), static_cast<GLsizei>(viewportHeight));
            }
            kmMat4 perspective, lookAt;
            kmGLSetMatrixMode(KM_GL_PROJECTION);
            kmGLSetIdentity();
            kmMat4MakePerspective(&perspective, 60, designWidth / designHeight, 0.1f, std::max(1500.0f, 2 * zEye));
            kmGLMultiply(&perspective);
            kmGLSetMatrixMode(KM_GL_MODELVIEW);
            kmGLSetIdentity();
            const kmVec3 eye = {designWidth / 2, designHeight / 2, zEye * designHeight / static_cast<float>(height)};
            const kmVec3 center = {designWidth / 2, designHeight / 2, 0};
            const kmVec3 up = {0, 1, 0};
            kmMat4MakeLookAt(&lookAt, &eye, &center, &up);
            kmGLMultiply(&lookAt);
            break;
        }
        case CCProjectionKindCustom:
            if (delegate_) delegate_->updateProjection();
            break;
        default:
            break;
    }
    ccGLProjectionChanged();
}

CGSize CCDirectorMac::winSize() const {
    return resizeMode_ == CCResizeModeKeepDesignSize ? originalWinSize_ : winSizeInPixels_;
}

CGSize CCDirectorMac::winSizeInPixels() const { return winSize(); }

CGPoint CCDirectorMac::convertToLogicalCoordinates(CGPoint point) const {
    if (resizeMode_ == CCResizeModeFollowView) return point;
    const CGSize size = winSizeInPixels_;
    const double pictureWidth = size.width - 2 * winOffset_.x;
    const double pictureHeight = size.height - 2 * winOffset_.y;
    // No picture yet (a view without size): nothing to scale by.
    if (!(pictureWidth > 0 && pictureHeight > 0)) return point;
    const float factorX = static_cast<float>(originalWinSize_.width / pictureWidth);
    const float factorY = static_cast<float>(originalWinSize_.height / pictureHeight);
    const float shiftX = static_cast<float>((size.width * factorX - originalWinSize_.width) / 2);
    const float shiftY = static_cast<float>((size.height * factorY - originalWinSize_.height) / 2);
    return {point.x * factorX - shiftX, point.y * factorY - shiftY};
}

void CCDirectorMac::setFullScreen(bool fullScreen) {
    if (fullScreen == isFullScreen_) return;
    const RefPtr<CCGLView> view = view_;
    const bool acceptsTouchEvents = view && view->acceptsTouchEvents();
    if (view) view->setFullScreen(fullScreen);
    isFullScreen_ = fullScreen;
    // Again with the same view: the frame-loop director re-runs its view set-up.
    setView(view);
    if (view) view->setAcceptsTouchEvents(acceptsTouchEvents);
}

CCEventDispatcher* CCDirectorMac::eventDispatcher() const { return eventDispatcher_.get(); }

void CCDirectorMac::setEventDispatcher(RefPtr<CCEventDispatcher> dispatcher) {
    eventDispatcher_ = std::move(dispatcher);
}
