// The application's life: the launch into the intro and on to the menu, and activation changes
// told by the window's focus.

#include <SDL.h>
#include <gtest/gtest.h>

#include "app/menu/VantrelIntroLayer.h"
#include "app/menu/VantrelMenuLayer.h"
#include "shell/ApplicationPreferences.h"
#include "shell/VantrelGlobal.h"
#include "shell/VantrelViewController.h"
#include "shell/Vantrel_OSXAppDelegate.h"
#include "engine/core/CCScene.h"
#include "engine/core/support/CCArray.h"
#include "platform/foundation/SharedInstances.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/app/menu/MenuTestSupport.h"
#include "tests/platform/window/X11WindowGeometry.h"

namespace {

class ApplicationLifeCycleTest : public menutest::MenuWindowTest {
protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        std::vector<uint8_t> pixels(64 * 48 * 4, 255);
        Image(64, 48, true, std::move(pixels)).writePNG(resources_.file("Default.png"));
        delegate_.setActivationResponders({[this] { ++pauses_; }, [this] { ++ducks_; }, [this] { ++unducks_; }});
        delegate_.setGameServiceViewCloser([] {});
        delegate_.setFocusSettleClock([this] { return now_; });
    }

    void TearDown() override {
        VantrelGlobal::sharedInstance()->setGameState(VantrelGlobal::kStateStart);
        MenuWindowTest::TearDown();
    }

    void launch() {
        delegate_.applicationDidFinishLaunching(view_, [] { return VantrelIntroLayer::scene(); });
        ASSERT_EQ(director_->runFrames(1), 1u);
    }

    // The first layer of the running scene.
    CCNode* runningLayer() const {
        CCArray* children = director_->runningScene() ? director_->runningScene()->children() : nullptr;
        return children && children->count() ? dynamic_cast<CCNode*>(children->objectAtIndex(0)) : nullptr;
    }

    // A focus change of the window as the windowing system reports it, taken in the next frame.
    void focus(bool gained) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        event.window.windowID = view_->window()->windowID();
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        ASSERT_EQ(director_->runFrames(1), 1u);
    }

    // Focus changes right after our own full-screen switch are only noted; these tests let the
    // switch settle, and the next frame follows the window's focus.
    void letOwnSwitchSettle() {
        now_ += Vantrel_OSXAppDelegate::kFocusSettleSeconds;
        ASSERT_EQ(director_->runFrames(1), 1u);
    }
    // Time passes, short of settling.
    void waitBriefly() {
        now_ += Vantrel_OSXAppDelegate::kFocusSettleSeconds / 5;
        ASSERT_EQ(director_->runFrames(1), 1u);
    }

    bool savedFullScreen() const { return UserDefaults(store_.path()).boolForKey("use_fullscreen_preference"); }

    TemporaryFolder folder_;
    UserDefaults store_{folder_.file("UserDefaults.plist")};
    ApplicationPreferences preferences_{store_, "0.1.0", folder_.file("data"), folder_.file("caches")};
    Vantrel_OSXAppDelegate delegate_{preferences_};
    int pauses_ = 0, ducks_ = 0, unducks_ = 0;
    double now_ = 100;  // seconds of the focus-settle clock
};

TEST_F(ApplicationLifeCycleTest, TheLaunchShowsTheIntroForTwoSecondsThenTheMenu) {
    preferences_.setUseFullscreen(false);
    launch();
    EXPECT_FALSE(director_->isFullScreen());
    EXPECT_TRUE(view_->acceptsTouchEvents());
    EXPECT_FALSE(view_->acceptsMouseMovedEvents());
    ASSERT_NE(delegate_.viewController(), nullptr);
    EXPECT_EQ(delegate_.viewController()->view(), view_.get());
    ASSERT_NE(dynamic_cast<VantrelIntroLayer*>(runningLayer()), nullptr);
    const std::string splash = "Default.png";  // the cache's key
    ASSERT_NE(CCTextureCache::sharedTextureCache()->textureForKey(splash), nullptr);

    // Frames of 1/64 s: the menu comes with the frame that completes 2.0 s of scheduler time.
    int frames = 0;
    while (!dynamic_cast<VantrelMenuLayer*>(runningLayer()) && frames < 400) {
        ASSERT_EQ(director_->runFrames(1), 1u);
        ++frames;
    }
    EXPECT_NEAR(frames, 128, 2);
    EXPECT_EQ(VantrelGlobal::sharedInstance()->gameState(), VantrelGlobal::kStateMenu);
    EXPECT_EQ(CCTextureCache::sharedTextureCache()->textureForKey(splash), nullptr);
}

// The delegate's window is the program's from a launch with a view on: the one the view draws
// into, which full screen covers the screen with and gives back.
TEST_F(ApplicationLifeCycleTest, TheProgramsWindowIsTheViewsFromTheLaunchOnInAndOutOfFullScreen) {
    EXPECT_EQ(delegate_.window(), nullptr);
    delegate_.applicationDidFinishLaunching(nullptr, nullptr);
    EXPECT_EQ(delegate_.window(), nullptr);

    launch();  // full screen, as the preference asks by default
    for (const bool fullScreen : {true, false}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "windowed");
        ASSERT_EQ(delegate_.window(), view_->window());
        EXPECT_EQ(delegate_.window()->isFullScreen(), fullScreen);
        delegate_.toggleFullScreen();
    }
}

// The running application's delegate makes no shared instance of its own: its launch makes them
// in their fixed order, each after those it may read.
TEST_F(ApplicationLifeCycleTest, TheLaunchMakesTheSharedInstancesInTheirOrder) {
    Vantrel_OSXAppDelegate* shared = Vantrel_OSXAppDelegate::sharedInstance();
    EXPECT_EQ(sharedInstancesMade(), std::vector<std::string>{});
    shared->applicationDidFinishLaunching(view_, nullptr);
    EXPECT_EQ(sharedInstancesMade(), (std::vector<std::string>{"VantrelGlobal", "ApplicationPreferences", "VantrelAudio",
                                                               "GameKitHelper", "VantrelNetworkControl"}));
}

TEST_F(ApplicationLifeCycleTest, TheQuitButtonStopsTheLoopAfterTheFrameAndTerminateSaves) {
    preferences_.setUseFullscreen(false);
    launch();
    delegate_.terminate();
    EXPECT_EQ(director_->runFrames(3), 0u);
    // What the loop's caller does next: the preferences reach the disk.
    store_.setBool("use_fullscreen_preference", true);  // changed in memory only
    delegate_.applicationWillTerminate();
    EXPECT_TRUE(savedFullScreen());
}

TEST_F(ApplicationLifeCycleTest, FocusLostLeavesFullScreenAndDucksFocusGainedComesBack) {
    launch();  // the preference asks for full screen by default
    EXPECT_TRUE(director_->isFullScreen());
    letOwnSwitchSettle();

    focus(false);
    EXPECT_FALSE(delegate_.isActive());
    EXPECT_FALSE(director_->isFullScreen());
    EXPECT_FALSE(savedFullScreen());  // a quit now starts windowed
    EXPECT_EQ(ducks_, 1);
    letOwnSwitchSettle();
    focus(false);  // told twice: still one resign
    EXPECT_EQ(ducks_, 1);

    focus(true);
    EXPECT_TRUE(delegate_.isActive());
    EXPECT_TRUE(director_->isFullScreen());
    EXPECT_TRUE(savedFullScreen());
    EXPECT_EQ(unducks_, 1);

    // Right after that switch a focus change is taken for its side effect.
    focus(false);
    EXPECT_TRUE(delegate_.isActive());
    EXPECT_EQ(ducks_, 1);
    EXPECT_EQ(pauses_, 0);
}

// A player who leaves and comes back (or comes back and leaves) while the switch that the first
// change made settles ends up as the window's focus says once it has settled; changes that the
// window manager makes during our own switch, and undoes, change nothing.
TEST_F(ApplicationLifeCycleTest, FocusChangedWhileASwitchSettlesIsFollowedOnceItHasSettled) {
    launch();  // full screen
    letOwnSwitchSettle();
    enum Start { kFocused, kAway, kSwitchedByButton };
    const struct {
        const char* what;
        Start start;
        std::vector<bool> changes;  // focus gained or lost, time passing between them
        bool active, fullScreen;
        int ducks, unducks;
    } rows[] = {
        {"left and came back", kFocused, {false, true}, true, true, 1, 1},
        {"left, came back and left", kFocused, {false, true, false}, false, false, 1, 0},
        {"came back and left", kAway, {true, false}, false, false, 1, 1},
        {"a flicker during the button's switch", kSwitchedByButton, {false, true}, true, false, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.start == kAway) {
            focus(false);
            letOwnSwitchSettle();
        }
        if (row.start == kSwitchedByButton) delegate_.toggleFullScreen();
        ducks_ = unducks_ = 0;
        for (bool gained : row.changes) {
            focus(gained);
            waitBriefly();
        }
        // Only the first change has been acted on while the switch settles.
        EXPECT_LE(ducks_ + unducks_, 1);
        letOwnSwitchSettle();
        EXPECT_EQ(delegate_.isActive(), row.active);
        EXPECT_EQ(director_->isFullScreen(), row.fullScreen);
        EXPECT_EQ(savedFullScreen(), row.fullScreen);
        EXPECT_EQ(ducks_, row.ducks);
        EXPECT_EQ(unducks_, row.unducks);

        // Back to focused and full screen for the next row.
        letOwnSwitchSettle();
        if (!delegate_.isActive()) focus(true);
        if (!director_->isFullScreen()) delegate_.toggleFullScreen();
        letOwnSwitchSettle();
        ASSERT_TRUE(delegate_.isActive() && director_->isFullScreen());
    }
    EXPECT_EQ(pauses_, 0);
}

// On an X server without a window manager (as on a bare Xvfb) nobody but the program sizes its
// window. Full screen and back, the director lays the menu out for the window's real size: the
// middle of the window is the middle of the design, so clicks land where they look.
TEST_F(ApplicationLifeCycleTest, FullScreenAndBackLayTheMenuOutForTheWindowsRealSize) {
    GLWindow& window = *view_->window();
    SKIP_WHERE_A_WINDOW_MANAGER_RUNS(window);
    SDL_ShowWindow(SDL_GetWindowFromID(window.windowID()));  // SDL makes only a shown window full screen
    preferences_.setUseFullscreen(false);
    launch();
    const X11Rect screen = x11WindowGeometry(window).screen;
    const X11Rect windowed{(screen.width - kWidth) / 2, (screen.height - kHeight) / 2, kWidth, kHeight};
    for (const bool fullScreen : {true, false}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "windowed");
        delegate_.toggleFullScreen();
        pollUntilTheSizeIsReal(window, [this] { ASSERT_EQ(director_->runFrames(1), 1u); });
        const X11Rect real = x11WindowGeometry(window).frame;
        EXPECT_EQ(real, fullScreen ? screen : windowed);
        const CGPoint middle = director_->convertToLogicalCoordinates(CGPointMake(real.width / 2.0, real.height / 2.0));
        EXPECT_NEAR(middle.x, kWidth / 2.0, 0.5);
        EXPECT_NEAR(middle.y, kHeight / 2.0, 0.5);
    }
}

TEST_F(ApplicationLifeCycleTest, DuringAGameResignPausesItAndItStaysPaused) {
    preferences_.setUseFullscreen(false);
    launch();
    const struct {
        int32_t state;
        int pauses, ducks, unducks;
    } states[] = {
        {VantrelGlobal::kStatePlay, 1, 0, 0},
        {VantrelGlobal::kStateMenu, 0, 1, 1},
        {VantrelGlobal::kStateTransition, 0, 1, 1},
    };
    for (const auto& state : states) {
        pauses_ = ducks_ = unducks_ = 0;
        VantrelGlobal::sharedInstance()->setGameState(state.state);
        delegate_.applicationWillResignActive();
        delegate_.applicationWillBecomeActive();
        EXPECT_EQ(pauses_, state.pauses) << state.state;
        EXPECT_EQ(ducks_, state.ducks) << state.state;
        EXPECT_EQ(unducks_, state.unducks) << state.state;
        EXPECT_FALSE(director_->isFullScreen());
    }
}

}  // namespace
