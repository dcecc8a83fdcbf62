// The menu world in a window of its design size: the ring's figures, screen changes and their
// arrival, input refused while busy, drags and throws, scrolling through the window (a wheel or a
// touchpad), arrow keys, the first screen and the music after a game, the music fading when a game
// starts, and the instructions pages.

#include "app/menu/VantrelMenuLayer.h"

#include <SDL.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "app/menu/VantrelMenuScreenData.h"
#include "audio/OALActionManager.h"
#include "audio/OALAudioTrack.h"
#include "audio/OALTools.h"
#include "audio/VantrelAudio.h"
#include "shell/VantrelGlobal.h"
#include "shell/VantrelTransitionLayer.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCLayerGradient.h"
#include "engine/core/CCScene.h"
#include "engine/core/support/CCArray.h"
#include "engine/render/CCSprite.h"
#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/SoundEffectOutput.h"
#include "game/core/Stats.h"
#include "game/core/VTScrollTracker.h"
#include "support/CountingCursorHider.h"
#include "support/CountingSystemActivity.h"
#include "tests/app/menu/MenuTestSupport.h"

namespace {

using menutest::MenuWindowTest;

// Notes the effects played instead of playing them.
class RecordingSoundOutput : public game::SoundEffectOutput {
public:
    RecordingSoundOutput() { setCurrent(this); }
    ~RecordingSoundOutput() override { setCurrent(nullptr); }
    bool preloadEffect(const std::string&) override { return true; }
    void playEffect(const std::string& path, float gain, float, float pan) override {
        played.push_back(path);
        EXPECT_FLOAT_EQ(gain, 0.9f);
        EXPECT_LE(std::fabs(pan), 0.2f);
    }
    std::vector<std::string> played;
};

// Counts arrivals.
class CountingMenuLayer : public VantrelMenuLayer {
public:
    int arrivals = 0;

protected:
    void onTransitionComplete() override {
        ++arrivals;
        VantrelMenuLayer::onTransitionComplete();
    }
};

Event mouse(EventType type, double x, double y) {
    Event event;
    event.type = type;
    event.locationInWindow = {x, y};
    return event;
}

Event arrowKey(std::string_view characters, bool numericPad, bool repeat) {
    Event event;
    event.type = EventType::keyDown;
    event.characters = event.charactersIgnoringModifiers = std::string(characters);
    event.modifierFlags = numericPad ? kModifierNumericPad | kModifierFunction : 0;
    event.isARepeat = repeat;
    return event;
}

class VantrelMenuLayerTest : public MenuWindowTest {
protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        menutest::writeMenuSheet(resources_);
        menutest::writeTerrain(resources_);
    }

    void TearDown() override {
        scene_.reset();
        layer_.reset();
        MenuWindowTest::TearDown();
        VantrelGlobal::sharedInstance()->startGame({});
    }

    // A running menu over a catalogue of `groups` level groups.
    void openMenu(int groups) {
        levels_ = std::make_unique<Levels>(menutest::writeCatalogue(resources_, groups), data_.path(), nullptr,
                                           [] { return false; });
        stats_ = std::make_unique<Stats>(data_.path());
        rank_ = std::make_unique<Rank>(*levels_, *stats_, nullptr, [] { return false; });
        layer_ = makeRef<CountingMenuLayer>();
        ASSERT_TRUE(layer_->initWithProgress(levels_.get(), stats_.get(), rank_.get()));
        scene_ = CCScene::node();
        scene_->addChild(layer_.get());
        director_->runWithScene(scene_);
        ASSERT_EQ(director_->runFrames(1), 1u);
    }

    // Frames of exactly 1/60 s until the running change arrives; the number of frames.
    int settle() {
        int frames = 0;
        while (layer_->isTransitioning() && frames < 1000) {
            layer_->update(1.0f / 60);
            ++frames;
        }
        return frames;
    }

    void moveTo(int32_t index) {
        layer_->showScreen(index, true);
        settle();
    }

    CCEventDispatcher* dispatcher() const { return director_->eventDispatcher(); }

    // Scrolls as the window receives them, over its middle: `x` to the right and `y` away from the
    // user, whole notches of a wheel or a touchpad's fractions. They come `perFrame` together,
    // delivered by a frame of 1/64 s and followed by another without any.
    void scroll(int events, int perFrame, float x, float y) {
        for (int i = 0; i < events; ++i) {
            SDL_Event event{};
            event.type = SDL_MOUSEWHEEL;
            event.wheel.windowID = view_->window()->windowID();
            event.wheel.x = static_cast<Sint32>(x);
            event.wheel.y = static_cast<Sint32>(y);
            event.wheel.preciseX = x;
            event.wheel.preciseY = y;
            event.wheel.mouseX = kWidth / 2;
            event.wheel.mouseY = kHeight / 2;
            ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
            if ((i + 1) % perFrame == 0 || i + 1 == events) {
                ASSERT_EQ(director_->runFrames(2), 2u);
            }
        }
    }

    // The event as the window receives it, as `type`, delivered by a frame.
    void push(uint32_t type, SDL_Event event) {
        event.type = type;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        ASSERT_EQ(director_->runFrames(1), 1u);
    }

    // Frames until the world rests (the scroll drag's pause, then the change), at most 200.
    void runUntilAtRest() {
        for (int frames = 0; frames < 200 && layer_->isBusy(); ++frames) ASSERT_EQ(director_->runFrames(1), 1u);
    }

    // The build's two menu tunes among the test's resources; the shared music track that plays them.
    OALAudioTrack* withMusic() {
        for (const char* name : {"Vantrel.mp3", "VantrelLite.mp3"}) {
            std::filesystem::copy_file(std::filesystem::path(VANTREL_APP_RESOURCES) / name, resources_.file(name));
        }
        return VantrelAudio::sharedInstance()->audioTrack();
    }

    // Whether the track plays the test's resource `name` as the menu's music: for ever, at full volume.
    ::testing::AssertionResult playsMenuMusic(OALAudioTrack* track, const std::string& name) const {
        if (track->currentlyLoadedUrl() != OALTools::urlForPath(resources_.file(name))) {
            return ::testing::AssertionFailure() << "the track holds " << track->currentlyLoadedUrl();
        }
        if (!track->playing() || track->numberOfLoops() != -1 || track->volume() != 1.0f) {
            return ::testing::AssertionFailure() << "playing " << track->playing() << ", loops "
                                                 << track->numberOfLoops() << ", volume " << track->volume();
        }
        return ::testing::AssertionSuccess();
    }

    TemporaryFolder data_;
    std::unique_ptr<Levels> levels_;
    std::unique_ptr<Stats> stats_;
    std::unique_ptr<Rank> rank_;
    RefPtr<CountingMenuLayer> layer_;
    RefPtr<CCScene> scene_;
};

TEST_F(VantrelMenuLayerTest, SixGroupsAtTheDesignSizeMakeElevenScreensRoundTheRing) {
    openMenu(6);
    EXPECT_EQ(layer_->screenCount(), 11);
    EXPECT_NEAR(layer_->screenAngleSize(), 32.727f, 1e-3f);
    EXPECT_FLOAT_EQ(layer_->worldCircumference(), 12012.0f);
    EXPECT_NEAR(layer_->worldRadius(), 1911.77f, 0.01f);
    EXPECT_FLOAT_EQ(layer_->screenRadius(), 2160.0f);

    const char* names[] = {"credits", "settings", "flight_log", "title", "instructions",
                           "group1",  "group2",   "group3",     "group4", "group5",      "group6"};
    for (int32_t i = 0; i < 11; ++i) {
        const VantrelMenuScreenData* screen = layer_->getScreenData(i);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->name, names[i]);
        EXPECT_NEAR(screen->angle, i == 0 ? 0 : 360 - i * 32.727f, 1e-2f) << names[i];
        EXPECT_NEAR(screen->baseNode->rotation(), 90 + i * 32.727f, 1e-2f) << names[i];
    }
    EXPECT_EQ(layer_->getScreenData(11), nullptr);
    EXPECT_EQ(layer_->currentScreenIndex(), 3);
    EXPECT_NEAR(layer_->currentAngle(), 261.82f, 0.01f);
    // The level groups carry their catalogue colours; the gradient starts with the title's.
    EXPECT_EQ(layer_->getScreenData(7)->bgGradientTop, (ccColor4B{30, 60, 90, 255}));
    EXPECT_EQ(layer_->gradientBackground()->startColor(), (ccColor3B{241, 170, 25}));
    EXPECT_EQ(layer_->gradientBackground()->endColor(), (ccColor3B{254, 204, 7}));

    // Each screen's span is [angle - half, angle + half); credits' lower half lies below 360 and
    // is not found, which also gives credits.
    const float half = layer_->screenAngleSize() / 2;
    const struct {
        float angle;
        int32_t index;
    } spans[] = {{0, 0}, {half - 0.01f, 0}, {half + 0.01f, 10}, {360 - 32.727f, 1}, {360 - half - 0.01f, 1}, {359.99f, 0}};
    for (const auto& span : spans) EXPECT_EQ(layer_->getScreenIndexAt(span.angle), span.index) << span.angle;
    EXPECT_EQ(layer_->getScreenIndex("group6"), 10);
    EXPECT_EQ(layer_->getScreenIndex("nowhere"), -1);
}

TEST_F(VantrelMenuLayerTest, TheTransitionBuildsTheMenuByName) {
    const RefPtr<CCScene> scene =
        makeRef<VantrelTransitionLayer>(VantrelTransitionLayer::kMenuClassName)->buildDestinationScene();
    ASSERT_NE(scene, nullptr);
    ASSERT_NE(scene->children(), nullptr);
    EXPECT_NE(dynamic_cast<VantrelMenuLayer*>(scene->children()->objectAtIndex(0)), nullptr);
}

TEST_F(VantrelMenuLayerTest, ScreensGoInAtTheirIndexOrAtTheEndAndComeOffByName) {
    openMenu(0);
    ASSERT_EQ(layer_->screenCount(), 5);
    const size_t worldNodes = layer_->worldHolder()->children()->count();
    const VantrelMenuScreenData* inserted = layer_->createScreen("inserted", "", 1);
    const VantrelMenuScreenData* appended = layer_->createScreen("appended", "missing_ground.png", 99);
    EXPECT_EQ(layer_->getScreenData(1), inserted);
    EXPECT_EQ(layer_->getScreenData(2)->name, "settings");
    EXPECT_EQ(layer_->getScreenData(6), appended);
    // Without a ground picture (none named, or none found) the base node holds the centre alone.
    EXPECT_EQ(inserted->baseNode->children()->count(), 1u);
    EXPECT_EQ(appended->baseNode->children()->count(), 1u);
    EXPECT_EQ(layer_->getScreenData(0)->baseNode->children()->count(), 2u);  // credits: ground, centre
    EXPECT_EQ(layer_->worldHolder()->children()->count(), worldNodes + 2);

    EXPECT_TRUE(layer_->destroyScreen("inserted"));
    EXPECT_FALSE(layer_->destroyScreen("inserted"));
    EXPECT_EQ(layer_->getScreenData(1)->name, "settings");
    EXPECT_EQ(layer_->worldHolder()->children()->count(), worldNodes + 1);
}

TEST_F(VantrelMenuLayerTest, ChangesTakeTheShorterWayAndAHalfTurnGoesClockwise) {
    openMenu(5);  // 10 screens of 36 degrees; the title (3) stands at 252, screen 8 at 72
    ASSERT_FLOAT_EQ(layer_->currentAngle(), 252);

    layer_->showScreen(8, false);  // exactly 180 degrees away
    EXPECT_FLOAT_EQ(layer_->transitionSpeed(), -180);
    settle();
    EXPECT_FLOAT_EQ(layer_->currentAngle(), 72);

    // Dragged 10 degrees back from 72, screen 3 (252) is 190 degrees ahead: the change turns the
    // other way, 170 degrees, in 57 frames of 3 degrees.
    const double dx = -10.0 / 360 * layer_->worldCircumference();
    EXPECT_TRUE(layer_->ccMouseDown(mouse(EventType::mouseDown, 300, 300)));
    EXPECT_TRUE(layer_->ccMouseDragged(mouse(EventType::mouseDragged, 300 + dx, 300)));
    EXPECT_NEAR(layer_->currentAngle(), 62, 1e-3);
    layer_->showScreen(3, false);
    EXPECT_FLOAT_EQ(layer_->transitionSpeed(), -180);
    EXPECT_EQ(settle(), 57);
    EXPECT_FLOAT_EQ(layer_->currentAngle(), 252);
}

TEST_F(VantrelMenuLayerTest, AChangeArrivesExactlyOnceAndLongFramesCountAsOneSixtieth) {
    openMenu(5);
    layer_->onRightPressed(nullptr);  // to the instructions, 36 degrees clockwise
    ASSERT_TRUE(layer_->isTransitioning());
    EXPECT_EQ(layer_->currentScreenIndex(), 4);
    layer_->update(0.5f);
    EXPECT_NEAR(layer_->currentAngle(), 249, 1e-3);
    // 3 degrees a frame: 33 more overshoot 216 by 0.0... and snap on it.
    const int frames = settle();
    EXPECT_EQ(frames, 11);
    EXPECT_FLOAT_EQ(layer_->currentAngle(), 216);
    EXPECT_EQ(layer_->arrivals, 1);
    for (int i = 0; i < 10; ++i) layer_->update(1.0f / 60);
    EXPECT_EQ(layer_->arrivals, 1);
    EXPECT_FLOAT_EQ(layer_->currentAngle(), 216);
}

TEST_F(VantrelMenuLayerTest, ShowingTheCurrentScreenChangesNothingUnlessForced) {
    openMenu(2);
    layer_->showScreen(layer_->currentScreenIndex(), false);
    EXPECT_FALSE(layer_->isTransitioning());
    EXPECT_EQ(layer_->gradientBackground()->numberOfRunningActions(), 0u);
    layer_->showScreen(layer_->currentScreenIndex(), true);
    EXPECT_TRUE(layer_->isTransitioning());
    EXPECT_EQ(layer_->gradientBackground()->numberOfRunningActions(), 1u);
    EXPECT_EQ(settle(), 1);
    EXPECT_EQ(layer_->arrivals, 1);
}

TEST_F(VantrelMenuLayerTest, TheArrowsWrapRoundTheRingBothWays) {
    openMenu(3);  // 8 screens
    CountingSystemActivity activity;
    moveTo(0);
    layer_->onLeftPressed(nullptr);
    EXPECT_EQ(layer_->currentScreenIndex(), 7);
    settle();
    layer_->onRightPressed(nullptr);
    EXPECT_EQ(layer_->currentScreenIndex(), 0);
    settle();
    layer_->onRightPressed(nullptr);
    EXPECT_EQ(layer_->currentScreenIndex(), 1);
    // Each step keeps the display awake; refused steps do not.
    layer_->onRightPressed(nullptr);
    EXPECT_EQ(activity.keepAwakeCalls, 3);
}

TEST_F(VantrelMenuLayerTest, WhileTheWorldMovesInputIsRefused) {
    openMenu(2);
    moveTo(layer_->getScreenIndex("instructions"));
    layer_->onLeftPressed(nullptr);
    ASSERT_TRUE(layer_->isBusy());
    const int32_t target = layer_->currentScreenIndex();
    const int32_t page = layer_->currentInstructionsPage();

    layer_->onLeftPressed(nullptr);
    layer_->onRightPressed(nullptr);
    EXPECT_TRUE(layer_->ccKeyDown(arrowKey(kRightArrowCharacters, true, false)));  // claimed, yet nothing moves
    EXPECT_FALSE(layer_->ccMouseDown(mouse(EventType::mouseDown, 500, 300)));
    EXPECT_FALSE(layer_->isDragging());
    Event touches;
    touches.type = EventType::touchesBegan;
    touches.touches = {{1, kTouchPhaseBegan, {0.4, 0.5}}, {2, kTouchPhaseBegan, {0.6, 0.5}}};
    EXPECT_FALSE(layer_->ccTouchesBeganWithEvent(touches));
    layer_->onNextInstructionsMenuItemPressed(nullptr);
    EXPECT_EQ(layer_->currentScreenIndex(), target);
    EXPECT_EQ(layer_->currentInstructionsPage(), page);

    // Once arrived, the same input acts again.
    settle();
    layer_->onRightPressed(nullptr);
    EXPECT_EQ(layer_->currentScreenIndex(), target + 1);
}

TEST_F(VantrelMenuLayerTest, DragsTurnTheWorldAndAThrowCarriesOn) {
    openMenu(5);
    const float circumference = layer_->worldCircumference();
    const int32_t title = layer_->currentScreenIndex();

    // A still press swings back to the screen shown, arriving at once.
    EXPECT_TRUE(layer_->ccMouseDown(mouse(EventType::mouseDown, 500, 300)));
    EXPECT_TRUE(layer_->ccMouseUp(mouse(EventType::mouseUp, 500, 300)));
    EXPECT_TRUE(layer_->isTransitioning());
    EXPECT_EQ(layer_->currentScreenIndex(), title);
    EXPECT_EQ(settle(), 1);
    EXPECT_EQ(layer_->arrivals, 1);

    // Slowly 15 degrees to the right (angles grow): the drag ends over the title still.
    const double step = 1.5 / 360 * circumference;
    EXPECT_TRUE(layer_->ccMouseDown(mouse(EventType::mouseDown, 100, 300)));
    for (int i = 1; i <= 10; ++i) layer_->ccMouseDragged(mouse(EventType::mouseDragged, 100 + i * step, 300));
    layer_->ccMouseDragged(mouse(EventType::mouseDragged, 100 + 10 * step, 300));  // held still: no speed left
    EXPECT_NEAR(layer_->currentAngle(), 267, 1e-2);
    layer_->ccMouseUp(mouse(EventType::mouseUp, 100 + 10 * step, 300));
    EXPECT_EQ(layer_->currentScreenIndex(), title);
    settle();

    // The same drag with a fast last step is thrown on by 0.09 s of its speed: a last step of
    // 7.5 degrees carries 40.5 degrees further, past the next screen (288) to the one after (324).
    EXPECT_TRUE(layer_->ccMouseDown(mouse(EventType::mouseDown, 100, 300)));
    layer_->ccMouseDragged(mouse(EventType::mouseDragged, 100 + 5 * step, 300));
    layer_->ccMouseDragged(mouse(EventType::mouseDragged, 100 + 10 * step, 300));
    layer_->ccMouseUp(mouse(EventType::mouseUp, 100 + 10 * step, 300));
    EXPECT_EQ(layer_->currentScreenIndex(), title - 2);

    // Mouse motion without a press is not the menu's.
    settle();
    EXPECT_FALSE(layer_->ccMouseDragged(mouse(EventType::mouseDragged, 10, 10)));
    EXPECT_FALSE(layer_->ccMouseUp(mouse(EventType::mouseUp, 10, 10)));
}

struct Swipe {
    const char* what;
    int events, perFrame;
    float x, y;
    int32_t screensOn;
};

void PrintTo(const Swipe& swipe, std::ostream* out) { *out << swipe.what; }

class VantrelMenuLayerSwipeTest : public VantrelMenuLayerTest, public ::testing::WithParamInterface<Swipe> {};

TEST_P(VantrelMenuLayerSwipeTest, ScrollingDragsTheWorldAndTheBackgroundFollowsTheScreenItEndsOn) {
    const Swipe& swipe = GetParam();
    openMenu(5);  // 10 screens; group1 (5) to group3 (7) have colours of their own, instructions (4) the title's
    moveTo(5);
    const float angle = layer_->currentAngle();
    scroll(swipe.events, swipe.perFrame, swipe.x, swipe.y);
    EXPECT_TRUE(layer_->isDragging());
    EXPECT_NE(layer_->currentAngle(), angle);
    runUntilAtRest();
    const int32_t expected = 5 + swipe.screensOn;
    EXPECT_EQ(layer_->currentScreenIndex(), expected);
    EXPECT_EQ(layer_->currentAngle(), layer_->getScreenData(expected)->angle);
    ASSERT_EQ(director_->runFrames(60), 60u);  // past the 0.75 s blend
    const VantrelMenuScreenData* screen = layer_->getScreenData(expected);
    EXPECT_EQ(layer_->gradientBackground()->startColor(),
              (ccColor3B{screen->bgGradientBottom.r, screen->bgGradientBottom.g, screen->bgGradientBottom.b}));
    EXPECT_EQ(layer_->gradientBackground()->endColor(),
              (ccColor3B{screen->bgGradientTop.r, screen->bgGradientTop.g, screen->bgGradientTop.b}));
}

// Ten notches drag one screen's arc, and a quick spin is thrown on by nearly two notches more, so
// that the world ends on the next screen from four notches on (half an arc is five). A scroll down
// or to the right goes the way of the right arrow.
INSTANTIATE_TEST_SUITE_P(
    Swipes, VantrelMenuLayerSwipeTest,
    ::testing::Values(Swipe{"TenWheelNotchesDownTurnToTheNextScreen", 10, 1, 0, -1, +1},
                      Swipe{"TenWheelNotchesUpTurnToThePreviousScreen", 10, 1, 0, 1, -1},
                      Swipe{"TwentyNotchesInOneBurstTurnTwoScreensNoMore", 20, 20, 0, -1, +2},
                      Swipe{"AQuickSpinOfFourNotchesTurnsToTheNextScreen", 4, 4, 0, -1, +1},
                      Swipe{"AQuickSpinOfThreeNotchesSwingsBack", 3, 3, 0, -1, 0},
                      Swipe{"TwoNotchesSwingBack", 2, 1, 0, -1, 0},
                      Swipe{"ALongTouchpadSwipeToTheRightTurnsToTheNextScreen", 40, 1, 0.25f, 0, +1},
                      Swipe{"ALongTouchpadSwipeLeftAndDownTurnsByItsLargerAxis", 20, 1, -0.5f, -0.2f, -1},
                      Swipe{"AShortTouchpadSwipeSwingsBack", 6, 1, 0.5f, 0, 0}),
    [](const ::testing::TestParamInfo<Swipe>& info) { return std::string(info.param.what); });

TEST_F(VantrelMenuLayerTest, AScrollWhileTheWorldTurnsIsRefused) {
    openMenu(5);
    moveTo(5);
    layer_->onRightPressed(nullptr);  // 36 degrees at 180 a second: 13 frames
    for (int i = 0; i < 5; ++i) {
        scroll(1, 1, 0, 1);
        EXPECT_FALSE(layer_->isDragging());
        EXPECT_FALSE(layer_->scrollTracker()->isTracking());
    }
    runUntilAtRest();
    EXPECT_EQ(layer_->currentScreenIndex(), 6);
    // At rest, the same scroll is taken.
    scroll(1, 1, 0, 1);
    EXPECT_TRUE(layer_->isDragging());
}

TEST_F(VantrelMenuLayerTest, AMousePressOrAnArrowKeyEndsAScrollWithItsThrow) {
    openMenu(5);
    SDL_Event press{};
    press.button = {0, 0, view_->window()->windowID(), 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, kWidth / 2, kHeight - 60};
    SDL_Event arrow{};
    arrow.key.windowID = view_->window()->windowID();
    arrow.key.keysym.scancode = SDL_SCANCODE_RIGHT;
    arrow.key.keysym.sym = SDLK_RIGHT;
    const struct {
        const char* what;
        uint32_t down, up;
        SDL_Event event;
    } interruptions[] = {{"mouse press", SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, press},
                         {"right arrow", SDL_KEYDOWN, SDL_KEYUP, arrow}};
    for (const auto& interruption : interruptions) {
        moveTo(5);
        scroll(6, 1, 0, -1);
        ASSERT_TRUE(layer_->isDragging());
        push(interruption.down, interruption.event);
        // Ended before its pause: thrown on to the next screen, and the press starts no drag.
        EXPECT_FALSE(layer_->isDragging()) << interruption.what;
        EXPECT_TRUE(layer_->isTransitioning()) << interruption.what;
        EXPECT_EQ(layer_->currentScreenIndex(), 6) << interruption.what;
        push(interruption.up, interruption.event);
        runUntilAtRest();
        EXPECT_EQ(layer_->currentScreenIndex(), 6) << interruption.what;
        // Once the button or key is up and the world rests, scrolling drags it again.
        scroll(1, 1, 0, -1);
        EXPECT_TRUE(layer_->isDragging()) << interruption.what;
        runUntilAtRest();
    }
}

TEST_F(VantrelMenuLayerTest, OnlyFirstPressesOfNumericPadArrowsAreClaimed) {
    CountingCursorHider cursor;
    cursor.hideUntilMouseMoves();  // hidden by the screen before
    openMenu(2);
    EXPECT_FALSE(cursor.hidden);  // the menu shows the pointer
    const struct {
        std::string_view characters;
        bool numericPad, repeat, claimed;
        int32_t moves;
    } keys[] = {
        {kRightArrowCharacters, true, false, true, +1}, {kLeftArrowCharacters, true, false, true, -1},
        {kRightArrowCharacters, true, true, false, 0},  {kRightArrowCharacters, false, false, false, 0},
        {kUpArrowCharacters, true, false, false, 0},    {"a", false, false, false, 0},
        {"", true, false, false, 0},
    };
    for (const auto& key : keys) {
        const int32_t before = layer_->currentScreenIndex();
        EXPECT_EQ(layer_->ccKeyDown(arrowKey(key.characters, key.numericPad, key.repeat)), key.claimed)
            << key.characters << key.numericPad << key.repeat;
        EXPECT_EQ(layer_->currentScreenIndex() - before, key.moves);
        settle();
    }
    EXPECT_FALSE(layer_->ccKeyUp(arrowKey(kRightArrowCharacters, true, false)));
    // Any key hides the pointer until the mouse moves.
    EXPECT_EQ(cursor.hideCalls, 1 + 7);
    EXPECT_TRUE(cursor.hidden);
}

TEST_F(VantrelMenuLayerTest, TheBackgroundBlendsIntoTheNextScreensColours) {
    openMenu(2);
    layer_->showScreen(layer_->getScreenIndex("credits"), false);
    // Half way through the blend both ends are between the title's and the credits' colours.
    director_->runFrames(24);
    const ccColor3B middle = layer_->gradientBackground()->endColor();
    EXPECT_GT(middle.r, 170);
    EXPECT_LT(middle.r, 254);
    director_->runFrames(30);
    EXPECT_EQ(layer_->gradientBackground()->startColor(), (ccColor3B{255, 145, 83}));
    EXPECT_EQ(layer_->gradientBackground()->endColor(), (ccColor3B{170, 157, 195}));
}

struct GameResult {
    const char* name;
    const char* lastLevel;
    bool newRank, newBest;
    const char* screen;
    bool turns, sparkle;
    float speed;
};

void PrintTo(const GameResult& result, std::ostream* out) { *out << result.name; }

class VantrelMenuLayerAfterGameTest : public VantrelMenuLayerTest, public ::testing::WithParamInterface<GameResult> {};

TEST_P(VantrelMenuLayerAfterGameTest, TheMenuTurnsToTheScreenOfTheLastResult) {
    const GameResult& result = GetParam();
    VantrelGlobal* global = VantrelGlobal::sharedInstance();
    global->setLastLevelId(result.lastLevel);
    global->setLastLevelHasNewRank(result.newRank);
    global->setLastLevelHasNewHighScore(result.newBest);
    RecordingSoundOutput sounds;
    OALAudioTrack* music = withMusic();
    openMenu(4);
    EXPECT_EQ(layer_->getScreenData(layer_->currentScreenIndex())->name, result.screen);
    EXPECT_EQ(layer_->isTransitioning(), result.turns);
    EXPECT_EQ(layer_->playBonusSoundEffect(), result.sparkle);
    EXPECT_FLOAT_EQ(std::fabs(layer_->transitionSpeed()), result.speed);
    EXPECT_EQ(global->gameState(), VantrelGlobal::kStateMenu);
    // The sparkle plays once, on arrival.
    EXPECT_TRUE(sounds.played.empty());
    settle();
    EXPECT_FALSE(layer_->playBonusSoundEffect());
    ASSERT_EQ(sounds.played.size(), result.sparkle ? 1u : 0u);
    if (result.sparkle) {
        EXPECT_TRUE(sounds.played[0].ends_with("sparkle_big.wav"));
    }
    // The music: the lighter tune when coming back from a game.
    EXPECT_TRUE(playsMenuMusic(music, *result.lastLevel ? "VantrelLite.mp3" : "Vantrel.mp3"));
}

INSTANTIATE_TEST_SUITE_P(Results, VantrelMenuLayerAfterGameTest,
                         ::testing::Values(GameResult{"NewRank", "group2_a", true, true, "flight_log", true, true, 112.5f},
                                           GameResult{"NewBest", "group3_a", false, true, "group3", true, true, 112.5f},
                                           GameResult{"NoNewBest", "group3_a", false, false, "group3", true, false, 112.5f},
                                           GameResult{"LevelOfNoScreen", "nowhere", false, true, "title", false, false, 0},
                                           GameResult{"NoGame", "", false, false, "title", false, false, 0}),
                         [](const ::testing::TestParamInfo<GameResult>& info) { return std::string(info.param.name); });

TEST_F(VantrelMenuLayerTest, StartingAGameFadesTheMusicOutOverHalfASecondAndStopsIt) {
    if (!VantrelTransitionLayer::isSceneRegistered("VantrelGameLayer")) {
        VantrelTransitionLayer::registerScene("VantrelGameLayer", [] { return CCScene::node(); });
    }
    // The fade's steps on a clock of the test's own.
    uint64_t now = 1'000'000'000;  // nanoseconds
    OALActionManager* fades = OALActionManager::sharedInstance();
    fades->setClock([&now] { return now; });
    const auto stepThrough = [&](double seconds) {
        fades->step();
        now += static_cast<uint64_t>(seconds * 1e9);
        fades->step();
    };
    OALAudioTrack* music = withMusic();
    openMenu(1);
    ASSERT_TRUE(playsMenuMusic(music, "Vantrel.mp3"));
    layer_->startGame("group1_a");
    stepThrough(0.25);
    EXPECT_TRUE(music->playing());
    EXPECT_NEAR(music->volume(), 0.5f, 1e-3f);
    stepThrough(0.3);
    EXPECT_FALSE(music->playing());
    EXPECT_EQ(music->currentlyLoadedUrl(), "");
    EXPECT_EQ(music->volume(), 1.0f) << "the next tune starts at full volume";
    fades->setClock(nullptr);
}

TEST_F(VantrelMenuLayerTest, InstructionPagesCycleWithOnePageAndOneBrightDotShown) {
    openMenu(1);
    ASSERT_NE(layer_->instructionsText(), nullptr);
    ASSERT_EQ(layer_->instructionsText()->children()->count(), 7u);
    const auto shown = [](CCNode* holder, int64_t* tag) {
        int visible = 0;
        for (uint64_t i = 0; i < holder->children()->count(); ++i) {
            auto* node = dynamic_cast<CCNode*>(holder->children()->objectAtIndex(i));
            if (node->visible()) ++visible, *tag = node->tag();
        }
        return visible;
    };
    for (int press = 0; press <= 7; ++press) {
        const int32_t page = press % 7 + 1;
        ASSERT_EQ(layer_->currentInstructionsPage(), page) << press;
        int64_t textTag = 0, imageTag = 0;
        EXPECT_EQ(shown(layer_->instructionsText(), &textTag), 1);
        EXPECT_EQ(shown(layer_->instructionsImages(), &imageTag), 1);
        EXPECT_EQ(textTag, page);
        EXPECT_EQ(imageTag, page);
        CCArray* dots = layer_->instructionsIndicators()->children();
        for (uint64_t i = 0; i < dots->count(); ++i) {
            auto* dot = dynamic_cast<CCSprite*>(dots->objectAtIndex(i));
            EXPECT_EQ(dot->opacity(), dot->tag() == page ? 204 : 51);
            EXPECT_FLOAT_EQ(dot->position().x, (10 + 2) * (dot->tag() - 1));
        }
        layer_->nextInstructions();
    }
}

TEST_F(VantrelMenuLayerTest, TheNextButtonIsHitWellToItsRightAndBelow) {
    openMenu(1);
    moveTo(layer_->getScreenIndex("instructions"));
    for (int i = 0; i < 120; ++i) layer_->update(1.0f / 60);  // the camera settles on its spring
    director_->runFrames(1);
    // The button (30 x 30) stands at (651, 272) in window points once the screen is shown.
    const struct {
        double x, y;
        bool turns;
    } clicks[] = {{666, 287, true},          {651 + 30 + 180, 287, true},  {666, 272 - 55, true},
                  {651 - 3, 300, true},      {651 + 30 + 195, 287, false}, {666, 272 - 70, false},
                  {666, 272 + 30 + 15, false}};
    int32_t page = layer_->currentInstructionsPage();
    for (const auto& click : clicks) {
        dispatcher()->mouseDown(mouse(EventType::mouseDown, click.x, click.y));
        dispatcher()->mouseUp(mouse(EventType::mouseUp, click.x, click.y));
        settle();
        if (click.turns) page = page % 7 + 1;
        EXPECT_EQ(layer_->currentInstructionsPage(), page) << click.x << ", " << click.y;
    }
}

}  // namespace
