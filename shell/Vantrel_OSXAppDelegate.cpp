#include "shell/Vantrel_OSXAppDelegate.h"

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "shell/ApplicationPreferences.h"
#include "shell/GameKitHelper.h"
#include "shell/VantrelGlobal.h"
#include "shell/VantrelNetworkControl.h"
#include "shell/VantrelViewController.h"
#include "audio/VantrelAudio.h"
#include "engine/core/CCDirectorMac.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCScheduler.h"
#include "engine/core/CCTimer.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"

namespace {

double monotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

constexpr const char* kSettleWatchKey = "settleFocus";

}  // namespace

Vantrel_OSXAppDelegate* Vantrel_OSXAppDelegate::sharedInstance() {
    static Vantrel_OSXAppDelegate* const instance = [] {
        // The preferences are not made here: the launch makes them after the global state.
        auto* delegate = new Vantrel_OSXAppDelegate();
        delegate->setGameServiceViewCloser([] {
            GameKitHelper* helper = GameKitHelper::sharedInstance();
            if (helper->isGameCenterViewOpen()) helper->closeGameCenter();
        });
        delegate->responders_.duckAudio = [] { VantrelAudio::sharedInstance()->duckAudio(); };
        delegate->responders_.unduckAudio = [] { VantrelAudio::sharedInstance()->unduckAudio(); };
        return delegate;
    }();
    return instance;
}

Vantrel_OSXAppDelegate::Vantrel_OSXAppDelegate() : focusSettleClock_(monotonicSeconds) {}

Vantrel_OSXAppDelegate::Vantrel_OSXAppDelegate(ApplicationPreferences& preferences)
    : preferences_(&preferences), focusSettleClock_(monotonicSeconds) {}

ApplicationPreferences& Vantrel_OSXAppDelegate::preferences() const {
    return preferences_ ? *preferences_ : *ApplicationPreferences::sharedInstance();
}

Vantrel_OSXAppDelegate::~Vantrel_OSXAppDelegate() {
    if (viewController_ && viewController_->view()) viewController_->view()->setActivationHandler(nullptr);
    if (CCDirector* director = CCDirector::sharedDirector()) {
        director->scheduler()->unscheduleBlockForKey(kSettleWatchKey, settleWatch_.get());
    }
}

GLWindow* Vantrel_OSXAppDelegate::window() const {
    const CCGLView* view = viewController_ ? viewController_->view() : nullptr;
    return view ? view->window() : nullptr;
}

CCDirectorMac* Vantrel_OSXAppDelegate::director() {
    auto* director = dynamic_cast<CCDirectorMac*>(CCDirector::sharedDirector());
    if (!director) logLine("Full screen: the director is not a desktop director");
    return director;
}

void Vantrel_OSXAppDelegate::applicationDidFinishLaunching(RefPtr<CCGLView> view,
                                                           const std::function<RefPtr<CCScene>()>& firstScene) {
    srandom(static_cast<unsigned>(time(nullptr)));

    // The version strings are the build's constants (ApplicationVersion.h); the preferences read
    // the short version when they are made.
    VantrelGlobal::sharedInstance();
    ApplicationPreferences::sharedInstance();
    VantrelAudio::sharedInstance();
    GameKitHelper::sharedInstance();
    VantrelNetworkControl::sharedInstance();

    viewController_ = std::make_unique<VantrelViewController>(view);

    CCDirectorMac* const director = Vantrel_OSXAppDelegate::director();
    if (!director || !view) {
        logLine("Vantrel: no view to draw into; the application does not start");
        return;
    }
    director->setView(view);
    // High-resolution drawing only where the window has two pixels per point: on a screen of one
    // pixel per point it would draw every picture at half its size.
    const CGSize points = window()->size();
    const CGSize pixels = window()->drawableSize();
    if (points.width > 0 && pixels.width / points.width >= 2.0) director->enableHighResolutionDisplay(true);
    CCFileUtils::sharedFileUtils()->setMacSuffix(director->contentScaleFactor() < 2.0 ? "-hd" : "-ipadhd");
    director->setProjection(CCProjectionKind2D);
    director->setResizeMode(CCResizeModeKeepDesignSize);

    if (preferences().useFullscreen()) toggleFullScreen();

    // The window was made centred; nothing here follows the bare pointer; the director's view
    // takes no trackpad touches until told to.
    view->setAcceptsMouseMovedEvents(false);
    view->setAcceptsTouchEvents(true);
    view->setActivationHandler([this](bool focused) { windowFocusChanged(focused); });

    if (firstScene) director->runWithScene(firstScene());
}

void Vantrel_OSXAppDelegate::windowFocusChanged(bool focused) {
    windowFocused_ = focused;
    if (!switchSettling_) followWindowFocus();
}

void Vantrel_OSXAppDelegate::followWindowFocus() {
    if (windowFocused_ && !isActive_) {
        applicationWillBecomeActive();
    } else if (!windowFocused_ && isActive_) {
        applicationWillResignActive();
    }
}

void Vantrel_OSXAppDelegate::settleFocus() {
    if (focusSettleClock_() < ownSwitchSettlesAt_) return;
    switchSettling_ = false;
    if (CCDirector* director = CCDirector::sharedDirector()) {
        director->scheduler()->unscheduleBlockForKey(kSettleWatchKey, settleWatch_.get());
    }
    // A change held back while the switch settled is taken now; following it may switch again.
    followWindowFocus();
}

void Vantrel_OSXAppDelegate::applicationWillResignActive() {
    isActive_ = false;
    if (closeGameServiceView_) closeGameServiceView_();
    saveAndDisableFullScreen();
    if (VantrelGlobal::sharedInstance()->gameState() == VantrelGlobal::kStatePlay) {
        if (responders_.pauseGame) {
            responders_.pauseGame();
        } else {
            logLine("Vantrel: a game is being played but nothing can pause it");
        }
    } else if (responders_.duckAudio) {
        responders_.duckAudio();
    }
}

void Vantrel_OSXAppDelegate::applicationWillBecomeActive() {
    isActive_ = true;
    restoreFullScreen();
    if (VantrelGlobal::sharedInstance()->gameState() != VantrelGlobal::kStatePlay && responders_.unduckAudio) {
        responders_.unduckAudio();
    }
}

void Vantrel_OSXAppDelegate::applicationWillTerminate() { preferences().save(); }

void Vantrel_OSXAppDelegate::terminate(Object* /*sender*/) {
    if (CCDirector* director = CCDirector::sharedDirector()) director->stopAnimation();
}

void Vantrel_OSXAppDelegate::toggleFullScreen(Object* /*sender*/) {
    if (closeGameServiceView_) closeGameServiceView_();
    CCDirectorMac* const director = Vantrel_OSXAppDelegate::director();
    if (!director) return;
    // The director keeps the view's touch setting across the switch, and the view stays the same
    // window, so nothing else needs restoring.
    const bool fullScreen = !director->isFullScreen();
    director->setFullScreen(fullScreen);
    switchSettling_ = true;
    ownSwitchSettlesAt_ = focusSettleClock_() + kFocusSettleSeconds;
    director->scheduler()->scheduleBlockForKey(kSettleWatchKey, settleWatch_.get(), 0, false, CCTimerRepeatForever, 0,
                                               [this](float) { settleFocus(); });
    if (viewController_) viewController_->setView(RefPtr<CCGLView>(director->view()));
    preferences().setUseFullscreen(fullScreen);
}

void Vantrel_OSXAppDelegate::saveAndDisableFullScreen() {
    const CCDirectorMac* const director = Vantrel_OSXAppDelegate::director();
    wasFullScreen_ = director && director->isFullScreen();
    if (wasFullScreen_) toggleFullScreen();
}

void Vantrel_OSXAppDelegate::restoreFullScreen() {
    const CCDirectorMac* const director = Vantrel_OSXAppDelegate::director();
    // A second restore without a background spell between must not toggle full screen off again.
    if (wasFullScreen_ && director && !director->isFullScreen()) toggleFullScreen();
}
