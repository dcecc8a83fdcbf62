#include "engine/core/CCDirector.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "engine/actions/CCActionManager.h"
#include "engine/core/CCConfiguration.h"
#include "engine/core/CCDirectorDelegate.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCLabelAtlas.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCScheduler.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/StringUtils.h"
#include "platform/window/Event.h"

uint64_t ccDrawCallCounter = 0;

const char* ccEngineVersion() { return "Lumora v2.1-beta2"; }

namespace {

RefPtr<CCDirector> sharedDirectorInstance;

// Points times this are pixels; written only by setContentScaleFactor.
double contentScaleFactorValue = 1.0;

// The statistics character map: cells of 12 x 32 points for '.', '/' and the digits.
constexpr const char* kStatsCharMap = "fps_images.png";

// The smallest GL maximum texture size at which high resolution is allowed.
constexpr GLint kHighResolutionTextureSize = 4096;

void requireScene(const CCScene* scene, const char* operation) {
    CC_REQUIRE(scene, "NSInvalidArgumentException", "%s: the scene is null", operation);
}

// Seconds from `then` to `now` as the frame time is computed: in single precision.
float secondsBetween(const ccTimeval& then, const ccTimeval& now) {
    return static_cast<float>(now.microseconds - then.microseconds) / 1000000.0f +
           static_cast<float>(now.seconds - then.seconds);
}

}  // namespace

CCDirector* CCDirector::sharedDirector() {
    if (!sharedDirectorInstance) sharedDirectorInstance = makeRef<CCDirectorDisplayLink>();
    return sharedDirectorInstance.get();
}

void CCDirector::setSharedDirector(RefPtr<CCDirector> director) { sharedDirectorInstance = std::move(director); }

CCDirector::CCDirector()
    : scheduler_(makeRef<CCScheduler>()), actionManager_(makeRef<CCActionManager>()) {
    scenesStack_.reserve(10);
    // The lowest priority of all, so that actions step before every other update.
    scheduler_->scheduleUpdateForTarget(actionManager_.get(), INT32_MIN, false);
}

CCDirector::~CCDirector() = default;

std::string CCDirector::description() const {
    return stringWithFormat("<%s = %p | Size: %0.f x %0.f, view = %s>", className(*this).c_str(),
                            static_cast<const void*>(this), winSizeInPoints_.width, winSizeInPoints_.height,
                            view_ ? view_->description().c_str() : "(null)");
}

// MARK: view and projection

void CCDirector::setView(RefPtr<CCGLView> view) {
    if (view == view_) return;
    view_ = std::move(view);
    winSizeInPoints_ = view_ ? view_->bounds().size : CGSizeZero;
    winSizeInPixels_ = winSizeInPoints_;
    createStatsLabel();
    if (view_) setGLDefaultValues();
}

void CCDirector::setGLDefaultValues() {
    if (!view_) return;
    setAlphaBlending(true);
    setDepthTest(view_->depthFormat() != 0);
    setProjection(projection_);
    glClearColor(0, 0, 0, 1);
}

void CCDirector::setAlphaBlending(bool on) {
    if (on) {
        ccGLSetBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        ccGLSetBlendFunc(GL_ONE, GL_ZERO);
    }
}

void CCDirector::setDepthTest(bool on) {
    if (on) {
        glClearDepth(1.0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
}

void CCDirector::setProjection(int) {}

float CCDirector::getZEye() const {
    return static_cast<float>(winSizeInPixels_.height) / 1.1566f / static_cast<float>(contentScaleFactorValue);
}

void CCDirector::reshapeProjection(CGSize size) {
    winSizeInPoints_ = size;
    winSizeInPixels_ = size;
    setProjection(projection_);
}

CGSize CCDirector::winSize() const { return winSizeInPoints_; }

CGSize CCDirector::winSizeInPixels() const { return winSizeInPixels_; }

CGPoint CCDirector::convertToGL(CGPoint) const { return CGPointZero; }

CGPoint CCDirector::convertToUI(CGPoint) const { return CGPointZero; }

// MARK: scene stack

void CCDirector::runWithScene(RefPtr<CCScene> scene) {
    requireScene(scene.get(), "runWithScene");
    pushScene(std::move(scene));
    startAnimation();
}

void CCDirector::replaceScene(RefPtr<CCScene> scene) {
    requireScene(scene.get(), "replaceScene");
    CC_REQUIRE(!scenesStack_.empty(), "NSRangeException",
               "replaceScene: the scene stack is empty; start with runWithScene");
    sendCleanupToScene_ = true;
    nextScene_ = scene.get();
    scenesStack_.back() = std::move(scene);
}

void CCDirector::pushScene(RefPtr<CCScene> scene) {
    requireScene(scene.get(), "pushScene");
    sendCleanupToScene_ = false;
    nextScene_ = scene.get();
    scenesStack_.push_back(std::move(scene));
}

void CCDirector::popScene() {
    CC_REQUIRE(!scenesStack_.empty(), "NSRangeException", "popScene: the scene stack is empty");
    scenesStack_.pop_back();
    if (scenesStack_.empty()) {
        end();
    } else {
        sendCleanupToScene_ = true;
        nextScene_ = scenesStack_.back().get();
    }
}

void CCDirector::popToRootScene() {
    if (scenesStack_.size() == 1) {
        scenesStack_.pop_back();
        end();
        return;
    }
    while (scenesStack_.size() > 1) {
        const RefPtr<CCScene> top = scenesStack_.back();
        if (top->isRunning()) {
            top->onExitTransitionDidStart();
            top->onExit();
        }
        top->cleanup();
        scenesStack_.pop_back();
    }
    nextScene_ = scenesStack_.empty() ? nullptr : scenesStack_.back().get();
    sendCleanupToScene_ = false;
}

void CCDirector::end() {
    // Keeps the view, and with it the GL context, alive until the purges and the error check are done.
    const RefPtr<CCGLView> view = view_;

    // Cleared first: a transition leaving now sees that its incoming scene does not take over.
    nextScene_ = nullptr;
    if (const RefPtr<CCScene> running = runningScene_) {
        running->onExitTransitionDidStart();
        running->onExit();
        running->cleanup();
    }
    runningScene_ = nullptr;
    scenesStack_.clear();

    stopAnimation();

    FPSLabel_ = SPFLabel_ = drawsLabel_ = nullptr;
    delegate_ = nullptr;
    setView(nullptr);

    if (view) view->lockOpenGLContext();
    ccCachePurgeAll();
    ccGLInvalidateStateCache();
    if (view) {
        CC_CHECK_GL_ERROR();
        view->unlockOpenGLContext();
    }
}

void CCDirector::setNextScene() {
    if (!nextScene_) return;
    const RefPtr<CCScene> outgoing = runningScene_;
    const bool enteredByTransition = outgoing && outgoing->inScene() == nextScene_;
    const bool newIsTransition = nextScene_->isTransition();

    // A transition makes the exit and enter calls of the scenes it links itself.
    if (!newIsTransition && outgoing) {
        outgoing->onExitTransitionDidStart();
        outgoing->onExit();
        if (sendCleanupToScene_) outgoing->cleanup();
        // The outgoing scene ended the engine on its way out: nothing to switch to.
        if (!nextScene_) return;
    }
    runningScene_ = RefPtr(nextScene_);
    nextScene_ = nullptr;
    if (!enteredByTransition) {
        runningScene_->onEnter();
        runningScene_->onEnterTransitionDidFinish();
    }
}

void CCDirector::pause() {
    if (isPaused_) return;
    oldAnimationInterval_ = animationInterval_;
    setAnimationInterval(1.0 / 4);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.postNotification(kCCDirectorIsPausedWillChangeNotification, this);
    isPaused_ = true;
    center.postNotification(kCCDirectorIsPausedDidChangeNotification, this);
}

void CCDirector::resume() {
    if (!isPaused_) return;
    setAnimationInterval(oldAnimationInterval_);
    // The paused time does not count as frame time.
    readClock(&lastUpdate_);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.postNotification(kCCDirectorIsPausedWillChangeNotification, this);
    isPaused_ = false;
    center.postNotification(kCCDirectorIsPausedDidChangeNotification, this);
    dt_ = 0;
}

// MARK: frame bookkeeping

bool CCDirector::readClock(ccTimeval* now) {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    const auto microseconds = std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch).count();
    now->seconds = microseconds / 1000000;
    now->microseconds = static_cast<int32_t>(microseconds % 1000000);
    return true;
}

void CCDirector::calculateDeltaTime() {
    ccTimeval now;
    if (!readClock(&now)) {
        dt_ = 0;
        return;
    }
    if (nextDeltaTimeZero_) {
        dt_ = 0;
        nextDeltaTimeZero_ = false;
    } else {
        dt_ = std::max(0.0f, secondsBetween(lastUpdate_, now));
    }
    lastUpdate_ = now;
}

void CCDirector::calculateMPF() {
    ccTimeval now;
    if (readClock(&now)) secondsPerFrame_ = secondsBetween(lastUpdate_, now);
}

void CCDirector::showStats() {
    ++frames_;
    accumDt_ += dt_;
    const bool labels = displayStats_ && FPSLabel_;
    if (displayStats_ && accumDt_ > 0.1f) {
        // Formatted on the stack: the labels' texts stay within their first capacity.
        char text[32];
        if (labels) {
            std::snprintf(text, sizeof text, "%.3f", secondsPerFrame_);
            SPFLabel_->setString(text);
        }
        frameRate_ = static_cast<float>(frames_) / accumDt_;
        frames_ = 0;
        accumDt_ = 0;
        if (labels) {
            std::snprintf(text, sizeof text, "%.1f", frameRate_);
            FPSLabel_->setString(text);
            std::snprintf(text, sizeof text, "%4" PRIu64, ccDrawCallCounter);
            drawsLabel_->setString(text);
        }
    }
    if (labels) {
        drawsLabel_->visit();
        FPSLabel_->visit();
        SPFLabel_->visit();
    }
    ccDrawCallCounter = 0;
}

void CCDirector::createStatsLabel() {
    if (FPSLabel_) {
        const RefPtr<CCTexture2D> texture(FPSLabel_->texture());
        FPSLabel_ = SPFLabel_ = drawsLabel_ = nullptr;
        CCTextureCache::sharedTextureCache()->removeTexture(texture.get());
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }
    // The labels' texture lives in the view's GL context.
    if (!view_) return;

    const CCTexture2DPixelFormat format = CCTexture2D::defaultAlphaPixelFormat();
    CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_RGBA4444);
    const auto label = [](const char* text) { return CCLabelAtlas::labelWithString(text, kStatsCharMap, 12, 32, '.'); };
    FPSLabel_ = label("00.0");
    SPFLabel_ = label("0.000");
    drawsLabel_ = label("000");
    CCTexture2D::setDefaultAlphaPixelFormat(format);

    if (!FPSLabel_ || !SPFLabel_ || !drawsLabel_) {
        FPSLabel_ = SPFLabel_ = drawsLabel_ = nullptr;
        logLine("Lumora: no statistics: the character map %s cannot be loaded", kStatsCharMap);
        return;
    }
    drawsLabel_->setPosition(CGPointMake(0, 34));
    SPFLabel_->setPosition(CGPointMake(0, 17));
    FPSLabel_->setPosition(CGPointZero);
}

void CCDirector::purgeCachedData() { ccCachePurgeUnused(); }

void CCDirector::drawScene() {}

void CCDirector::startAnimation() {}

void CCDirector::stopAnimation() {}

void CCDirector::setAnimationInterval(double) {}

// MARK: properties

void CCDirector::setNotificationNode(RefPtr<CCNode> node) { notificationNode_ = std::move(node); }

void CCDirector::setDelegate(RefPtr<CCDirectorDelegate> delegate) { delegate_ = std::move(delegate); }

void CCDirector::setScheduler(RefPtr<CCScheduler> scheduler) { scheduler_ = std::move(scheduler); }

void CCDirector::setActionManager(RefPtr<CCActionManager> actionManager) {
    actionManager_ = std::move(actionManager);
}

// MARK: platform additions

CGPoint CCDirector::convertEventToGL(const Event& event) const {
    // The view fills its window, so window and view coordinates are the same points.
    return convertToLogicalCoordinates(event.locationInWindow);
}

CGPoint CCDirector::convertToLogicalCoordinates(CGPoint point) const { return point; }

double CCDirector::contentScaleFactor() const { return contentScaleFactorValue; }

void CCDirector::setContentScaleFactor(double factor) {
    if (factor == contentScaleFactorValue) return;
    contentScaleFactorValue = factor;
    setProjection(projection_);
}

bool CCDirector::enableHighResolutionDisplay(bool enable) {
    const double factor = enable ? 2.0 : 1.0;
    if (contentScaleFactorValue == factor) return true;
    if (maxTextureSize() < kHighResolutionTextureSize) return false;
    setContentScaleFactor(factor);
    createStatsLabel();
    return true;
}

int32_t CCDirector::maxTextureSize() const {
    if (!view_) return 0;
    view_->lockOpenGLContext();
    const GLint size = CCConfiguration::sharedConfiguration()->maxTextureSize();
    view_->unlockOpenGLContext();
    return size;
}

CCEventDispatcher* CCDirector::eventDispatcher() const { return nullptr; }

void CCDirector::setEventDispatcher(RefPtr<CCEventDispatcher>) {}
