#include "engine/core/CCDirectorDisplayLink.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>

#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCScheduler.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/RunLoop.h"

namespace {

double monotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CCDirectorDisplayLink::~CCDirectorDisplayLink() = default;

void CCDirectorDisplayLink::startAnimation() {
    if (isAnimating_) return;
    readClock(&lastUpdate_);
    nextFrameTime_ = monotonicSeconds();
    isAnimating_ = true;
}

void CCDirectorDisplayLink::stopAnimation() { isAnimating_ = false; }

void CCDirectorDisplayLink::drawScene() {
    calculateDeltaTime();

    // The view that is locked is the one unlocked, even if the frame ends the engine and lets go
    // of it.
    const RefPtr<CCGLView> view = view_;
    if (view) view->lockOpenGLContext();

    if (!isPaused_) scheduler_->update(dt_);
    if (view_) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (nextScene_) setNextScene();

    kmGLPush();
    if (runningScene_) runningScene_->visit();
    if (notificationNode_) notificationNode_->visit();
    if (displayStats_) showStats();
    kmGLPop();

    ++totalFrames_;
    if (view_) view_->flushBuffer();
    if (view) view->unlockOpenGLContext();

    if (displayStats_) calculateMPF();
}

void CCDirectorDisplayLink::setView(RefPtr<CCGLView> view) {
    CCDirectorMac::setView(view);
    if (view) view->setEventDelegate(eventDispatcher_.get());
    if (eventDispatcher_) eventDispatcher_->setDispatchEvents(true);
    if (view) {
        view->setAcceptsTouchEvents(false);
        view->lockOpenGLContext();
        vsync_ = view->setSwapInterval(1);
        view->unlockOpenGLContext();
    }
}

int CCDirectorDisplayLink::getFrameForTime() {
    if (!runningThread_) runningThread_ = &RunLoop::current();
    drawScene();
    runningThread_->runOnce();
    return 0;
}

void CCDirectorDisplayLink::mainLoop() {
    while (runFrame()) {
    }
}

uint64_t CCDirectorDisplayLink::runFrames(uint64_t count) {
    uint64_t ran = 0;
    while (ran < count && runFrame()) ++ran;
    return ran;
}

bool CCDirectorDisplayLink::runFrame() {
    if (!isAnimating_) return false;
    if (view_) {
        // Holds the view across the pump: a reshape draws a frame, which may end the engine.
        const RefPtr<CCGLView> view = view_;
        view->pumpEvents();
        if (view->closeRequested()) return false;
    }
    if (!isAnimating_) return false;
    getFrameForTime();
    if (isAnimating_ && !vsync_) waitForNextFrame();
    return true;
}

void CCDirectorDisplayLink::waitForNextFrame() {
    const double now = monotonicSeconds();
    nextFrameTime_ += animationInterval_;
    // A late frame does not make the following ones hurry to catch up.
    nextFrameTime_ = std::max(nextFrameTime_, now);
    for (double remaining = nextFrameTime_ - now; remaining > 0; remaining = nextFrameTime_ - monotonicSeconds()) {
        runningThread_->waitForWork(remaining);
        runningThread_->runOnce();
    }
}
