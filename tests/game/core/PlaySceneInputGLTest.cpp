// Steering the bee in the real play scene: the choice of one source per frame, the height band,
// keys, mouse, fingers, HID sticks, hats and buttons, and the phone's values.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shell/VantrelNetworkControl.h"
#include "game/core/PlaySceneTestSupport.h"
#include "game/core/VTHidMapper.h"
#include "platform/hid/DDHidJoystick.h"

namespace {

constexpr float kDiagonal = 0.70710678f;

// A pad that is never opened: it only carries a product name.
class NamedPad : public DDHidJoystick {
public:
    explicit NamedPad(std::string name) : name_(std::move(name)) {}
    std::string productName() const override { return name_; }
    void startListening() override {}
    void stopListening() override {}
    bool isListening() const override { return false; }

private:
    std::string name_;
};

class PlaySceneInputGLTest : public PlaySceneGLTest {
protected:
    void SetUp() override {
        PlaySceneGLTest::SetUp();
        buildScene();
    }
    // Fingers at window offsets from the bee (points), as positions on the pad.
    Touch finger(int64_t identity, uint64_t phase, double dx, double dy) const {
        const CGPoint at = beeOnScreen();
        return {identity, phase, {(at.x + dx) / kWidth, (at.y + dy) / kHeight}};
    }
    void expectInput(float x, float y, const char* what) {
        const vector2d<float> v = chosenInput();
        EXPECT_NEAR(v.X, x, 1e-4) << what;
        EXPECT_NEAR(v.Y, y, 1e-4) << what;
    }
};

TEST_F(PlaySceneInputGLTest, OneSourceSteersInPrecedenceAndAPhoneMasksTheRest) {
    expectInput(0, 0, "nothing held");
    // Two fingers a quarter and a half of the half-window right of the bee: their mean.
    layer_->ccTouchesBeganWithEvent(touches(EventType::touchesBegan, {finger(1, kTouchPhaseBegan, 40, 0),
                                                                     finger(2, kTouchPhaseBegan, 80, 0)}));
    expectInput(0.375f, 0, "fingers");
    layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeUpArrow, std::string(kUpArrowCharacters), true));
    EXPECT_EQ(layer_->touchCount(), 0);
    expectInput(0, 1, "keyboard");
    const CGPoint at = beeOnScreen();
    layer_->ccMouseDown(mouse(EventType::mouseDown, {at.x - 80, at.y - 240}));
    // Clamped per axis to (-0.5, -1), then to length 1.
    expectInput(-0.4472136f, -0.8944272f, "mouse");
    layer_->ddhidJoystickStickXChanged(nullptr, 0, 65536);
    expectInput(1, 0, "HID stick");
    layer_->ddhidJoystickStickPovNumberValueChanged(nullptr, 0, 0, 18000);
    expectInput(0, -1, "HID hat");
    layer_->setPhoneConnected(true);
    expectInput(0, 0, "a phone that has sent nothing");
    layer_->padlinkDeviceDPadButtonDown(nullptr, 0, 1);
    expectInput(1, 0, "the phone's d-pad");

    // Released in turn, the next source takes over.
    layer_->setPhoneConnected(false);
    layer_->ddhidJoystickStickPovNumberValueChanged(nullptr, 0, 0, -1);
    expectInput(1, 0, "HID stick again");
    layer_->ccMouseUp(mouse(EventType::mouseUp, at));
    layer_->ddhidJoystickStickXChanged(nullptr, 0, 100);
    expectInput(0, 1, "keyboard again");
}

TEST_F(PlaySceneInputGLTest, TheHeightBandPushesBackWhateverThePlayerAsks) {
    layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeUpArrow, std::string(kUpArrowCharacters), true));
    layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeRightArrow, std::string(kRightArrowCharacters), true));
    expectInput(kDiagonal, kDiagonal, "up and right");
    // p 1.5 gives -0.75 and p -0.2 gives +0.6; X stays, then the pair is limited to length 1.
    for (double height : {1100 + 1.5 * 900, 1100 - 0.2 * 900, 1500.0}) {
        bee()->vantrel()->setPosition({0, height});
        const vector2d<float> v = chosenInput();
        const float y = height > 2000 ? -0.75f : (height < 1100 ? 0.6f : kDiagonal);
        const float length = std::sqrt(kDiagonal * kDiagonal + y * y);
        EXPECT_NEAR(v.X, length > 1 ? kDiagonal / length : kDiagonal, 1e-4) << height;
        EXPECT_NEAR(v.Y, length > 1 ? y / length : y, 1e-4) << height;
        EXPECT_NEAR(layer_->beeAccelerationPerc(), std::min(length, 1.0f), 1e-4);
    }
}

TEST_F(PlaySceneInputGLTest, KeysSteerInEightDirectionsByDayOnly) {
    struct Case {
        uint16_t code;
        const char* characters;
        float x, y;
    };
    const Case cases[] = {{kKeyCodeKeypad9, "9", kDiagonal, kDiagonal}, {kKeyCodeKeypad1, "1", -kDiagonal, -kDiagonal},
                          {kKeyCodeKeypad2, "2", 0, -1},                 {kKeyCodeKeypad4, "4", -1, 0},
                          {kKeyCodeLeftArrow, "\uF702", -1, 0}};
    for (const Case& c : cases) {
        EXPECT_TRUE(layer_->ccKeyDown(key(EventType::keyDown, c.code, c.characters, true)));
        expectInput(c.x, c.y, c.characters);
        EXPECT_TRUE(layer_->ccKeyUp(key(EventType::keyUp, c.code, c.characters, true)));
        expectInput(0, 0, "released");
    }
    EXPECT_FALSE(layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeKeypad5, "5", true)));
    EXPECT_FALSE(layer_->ccKeyDown(key(EventType::keyDown, 0, "a", false)));

    // Escape pauses by day (not on a repeat) and steering keys are left alone at night.
    EXPECT_TRUE(layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeEscape, "\x1b", false, true)));
    EXPECT_FALSE(layer_->gamePaused());
    EXPECT_TRUE(layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeEscape, "\x1b", false)));
    EXPECT_TRUE(layer_->gamePaused());
    EXPECT_TRUE(layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeEscape, "\x1b", false)));
    EXPECT_FALSE(layer_->gamePaused());
    for (int i = 0; i < 1000 && layer_->level()->isDay(); ++i) layer_->level()->update(0.5f);
    ASSERT_TRUE(layer_->level()->isNight());
    EXPECT_FALSE(layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeUpArrow, "\uF700", true)));
    EXPECT_FALSE(layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeEscape, "\x1b", false)));
    EXPECT_FALSE(layer_->gamePaused());
}

TEST_F(PlaySceneInputGLTest, FingersTakeTenSlotsAndOppositeOnesCancel) {
    layer_->ccTouchesBeganWithEvent(touches(EventType::touchesBegan, {finger(1, kTouchPhaseBegan, 60, 30),
                                                                     finger(2, kTouchPhaseBegan, -60, -30)}));
    EXPECT_EQ(layer_->touchCount(), 2);
    expectInput(0, 0, "opposite fingers");
    // A lifted finger frees its slot at once; the one left steers alone.
    layer_->ccTouchesEndedWithEvent(touches(EventType::touchesEnded, {finger(2, kTouchPhaseEnded, -60, -30),
                                                                     finger(1, kTouchPhaseStationary, 60, 30)}));
    EXPECT_EQ(layer_->touchCount(), 1);
    expectInput(0.375f, 0.25f, "one finger");
    layer_->clearTouches();

    Event eleven;
    eleven.type = EventType::touchesBegan;
    for (int64_t id = 1; id <= 11; ++id) eleven.touches.push_back(finger(id, kTouchPhaseBegan, 16, 0));
    layer_->ccTouchesBeganWithEvent(eleven);
    EXPECT_EQ(layer_->touchCount(), 10);
    EXPECT_EQ(layer_->getTouchBindingIndex(11), -1);
    // A finger the next event no longer shows touching is let go.
    eleven.touches.resize(9);
    layer_->ccTouchesBeganWithEvent(eleven);
    EXPECT_EQ(layer_->touchCount(), 9);
}

TEST_F(PlaySceneInputGLTest, HidSticksHaveADeadZoneAndReachExactlyOne) {
    struct Case {
        uint32_t stick;  // 0 main; 1 the other axes
        bool y;
        int32_t value;
        float expect;
    };
    const Case cases[] = {{0, false, 4095, 0},       {0, false, 65536, 1},      {0, false, -65536, -1},
                          {0, false, 4096 + 30720, 0.5f}, {0, true, 65536, -1}, {0, true, -4096 - 15360, 0.25f}};
    for (const Case& c : cases) {
        layer_->clearGameControlsInput();
        if (c.y) layer_->ddhidJoystickStickYChanged(nullptr, c.stick, c.value);
        else layer_->ddhidJoystickStickXChanged(nullptr, c.stick, c.value);
        const vector2d<float> v = chosenInput();
        EXPECT_FLOAT_EQ(c.y ? v.Y : v.X, c.expect) << c.value;
    }
    // A centred value from another pad does not stop the active one.
    auto other = makeRef<NamedPad>("Other");
    layer_->clearGameControlsInput();
    layer_->ddhidJoystickStickXChanged(nullptr, 0, 65536);
    layer_->ddhidJoystickStickXChanged(other.get(), 0, 0);
    expectInput(1, 0, "active pad held");
    layer_->ddhidJoystickStickXChanged(nullptr, 0, 0);
    expectInput(0, 0, "active pad centred");
}

TEST_F(PlaySceneInputGLTest, HatsSteerInEightDirections) {
    struct Case {
        int32_t value;
        float x, y;
    };
    const Case cases[] = {{0, 0, 1},           {4500, kDiagonal, kDiagonal},   {9000, 1, 0},
                          {13500, kDiagonal, -kDiagonal}, {18000, 0, -1}, {22500, -kDiagonal, -kDiagonal},
                          {27000, -1, 0},      {31500, -kDiagonal, kDiagonal}, {-1, 0, 0},
                          {100, 0, 0}};
    for (const Case& c : cases) {
        layer_->ddhidJoystickStickPovNumberValueChanged(nullptr, 0, 0, c.value);
        expectInput(c.x, c.y, std::to_string(c.value).c_str());
    }
}

TEST(PlaySceneButtonTableTest, LogicalButtonsActByDayWhilePausedAndAtNight) {
    using A = VantrelGameLayer::ButtonAction;
    struct Case {
        uint32_t button;
        A running, paused, night;
    };
    const Case cases[] = {
        {0, A::pause, A::quit, A::mainMenu},          {1, A::none, A::resume, A::playAgain},
        {3, A::none, A::resume, A::playAgain},        {8, A::pause, A::resume, A::playAgain},
        {9, A::pause, A::resume, A::playAgain},       {4, A::none, A::none, A::none},
        {104, A::dpadUp, A::dpadUp, A::dpadUp},       {107, A::dpadLeft, A::dpadLeft, A::dpadLeft},
        {116, A::fullScreen, A::fullScreen, A::fullScreen}, {117, A::none, A::none, A::none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VantrelGameLayer::hidButtonAction(c.button, true, false, false), c.running) << c.button;
        EXPECT_EQ(VantrelGameLayer::hidButtonAction(c.button, true, false, true), c.paused) << c.button;
        EXPECT_EQ(VantrelGameLayer::hidButtonAction(c.button, false, true, false), c.night) << c.button;
    }
    EXPECT_EQ(VantrelGameLayer::hidButtonAction(0, false, false, false), A::none);
    const Case phone[] = {{6, A::pause, A::pause, A::none},
                          {14, A::none, A::resume, A::playAgain},
                          {15, A::none, A::quit, A::mainMenu},
                          {7, A::none, A::none, A::none}};
    for (const Case& c : phone) {
        EXPECT_EQ(VantrelGameLayer::phoneButtonAction(c.button, true, false, false), c.running) << c.button;
        EXPECT_EQ(VantrelGameLayer::phoneButtonAction(c.button, true, false, true), c.paused) << c.button;
        EXPECT_EQ(VantrelGameLayer::phoneButtonAction(c.button, false, true, false), c.night) << c.button;
    }
}

TEST_F(PlaySceneInputGLTest, MappedPadButtonsHoldTheDPad) {
    auto pad = makeRef<NamedPad>("PLAYSTATION(R)3 Controller");
    layer_->ddhidJoystickButtonDown(pad.get(), 4);  // logical 104, up
    layer_->ddhidJoystickButtonDown(pad.get(), 5);  // 105, right
    EXPECT_EQ(VTHidMapper::sharedInstance().deviceName(), "PLAYSTATION(R)3 Controller");
    expectInput(kDiagonal, kDiagonal, "up and right");
    layer_->ddhidJoystickButtonUp(pad.get(), 4);
    expectInput(1, 0, "right");
    layer_->ddhidJoystickButtonUp(pad.get(), 5);
    expectInput(0, 0, "none");
    VTHidMapper::sharedInstance().setDeviceName({});
}

TEST_F(PlaySceneInputGLTest, ThePhonesReachTheSceneThroughTheNetworkControlWhileItRuns) {
    VantrelNetworkControl* network = VantrelNetworkControl::sharedInstance();
    EXPECT_EQ(network->padlinkManagerDelegate(), static_cast<JPManagerDelegate*>(layer_.get()));
    EXPECT_EQ(network->padlinkDeviceDelegate(), static_cast<JPDeviceDelegate*>(layer_.get()));
    layer_->cleanupNetworkControl();
    EXPECT_EQ(network->padlinkManagerDelegate(), nullptr);
    EXPECT_EQ(network->padlinkDeviceDelegate(), nullptr);
}

TEST_F(PlaySceneInputGLTest, PhoneValuesAreSanitisedBeforeTheyReachTheBee) {
    layer_->setPhoneConnected(true);
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Stick {
        float angle, distance, x, y;
    };
    const Stick sticks[] = {{0, 0.5f, 0.5f, 0}, {1.5707964f, 7, 0, 1}, {kNaN, 1, 0, 0}, {0, kInf, 0, 0},
                            {3.1415927f, -0.5f, 0.5f, 0}};
    for (const Stick& s : sticks) {
        layer_->padlinkDeviceAnalogStickDidMove(nullptr, 0, s.angle, s.distance);
        expectInput(s.x, s.y, "stick");
    }
    struct Tilt {
        float x, y, z, expectX, expectY;
    };
    // Held at 45 degrees the phone rests; tipped right it steers right.
    const Tilt tilts[] = {{0, 0, 0, 0, 0}, {0, -0.3f, 0, 0.6f, 0}, {kNaN, kInf, -kInf, 0, 0}, {0, -1, 0, 1, 0}};
    for (const Tilt& t : tilts) {
        layer_->padlinkDeviceDidAccelerate(nullptr, t.x, t.y, t.z);
        expectInput(t.expectX, t.expectY, "tilt");
    }
    // Whatever arrives, the applied force is finite.
    layer_->padlinkDeviceAnalogStickDidMove(nullptr, 0, kNaN, kNaN);
    layer_->handleInput();
    layer_->applyInput(true);
    EXPECT_TRUE(std::isfinite(layer_->beeAcceleration().X) && std::isfinite(layer_->beeAcceleration().Y));
}

}  // namespace
