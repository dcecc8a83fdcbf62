#include "platform/hid/SDLHidJoystick.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/foundation/Log.h"
#include "tests/platform/hid/VirtualPad.h"

namespace {

constexpr const char* kPadName = "PLAYSTATION(R)3 Controller";

// SDL's joystick subsystem without a display; the events are pumped here as the window's pump
// would hand them over.
class SDLHidJoystickTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError(); }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_JOYSTICK); }

    static void pump() {
        SDL_Event event;
        while (SDL_PollEvent(&event)) SDLHidJoystick::handleEvent(event);
    }
};

TEST_F(SDLHidJoystickTest, ListsThePadsPresentWhenAskedWithTheirProductNames) {
    VirtualPad first(kPadName);
    const std::vector<RefPtr<DDHidJoystick>> before = DDHidJoystick::allJoysticks();
    ASSERT_NE(first.find(before), nullptr);

    // Plugged in after the first listing: the next one finds it.
    VirtualPad second("SmartJoy PLUS Adapter");
    EXPECT_EQ(second.find(before), nullptr);
    const std::vector<RefPtr<DDHidJoystick>> after = DDHidJoystick::allJoysticks();
    EXPECT_NE(second.find(after), nullptr);
    EXPECT_EQ(after.size(), before.size() + 1);
}

TEST_F(SDLHidJoystickTest, AxesScaleExactlyToPlusMinus65536AndMapToStickAndOtherAxes) {
    VirtualPad pad(kPadName);
    RecordingDelegate delegate;
    const RefPtr<DDHidJoystick> joystick = pad.listen(&delegate);
    ASSERT_NE(joystick, nullptr);

    const std::tuple<int, int16_t, std::string> cases[] = {
        {0, 32767, "x 0 65536"},       {0, -32768, "x 0 -65536"},    {1, 16384, "y 0 32769"},
        {1, -16384, "y 0 -32768"},     {2, 100, "other 0 0 200"},    {3, -1, "other 0 1 -2"},
        {3, 32767, "other 0 1 65536"}, {0, 0, "x 0 0"},
    };
    for (const auto& [axis, raw, expected] : cases) {
        delegate.reports.clear();
        pad.setAxis(axis, raw);
        pump();
        EXPECT_EQ(delegate.reports, std::vector<std::string>{expected + " " + kPadName}) << "axis " << axis << " " << raw;
    }
    joystick->stopListening();
}

TEST_F(SDLHidJoystickTest, HatsReportHundredthsOfDegreesAndButtonsKeepTheirNumbers) {
    VirtualPad pad(kPadName);
    RecordingDelegate delegate;
    const RefPtr<DDHidJoystick> joystick = pad.listen(&delegate);
    ASSERT_NE(joystick, nullptr);

    const std::pair<uint8_t, int> hats[] = {
        {SDL_HAT_UP, 0},          {SDL_HAT_RIGHTUP, 4500},    {SDL_HAT_RIGHT, 9000}, {SDL_HAT_RIGHTDOWN, 13500},
        {SDL_HAT_DOWN, 18000},    {SDL_HAT_LEFTDOWN, 22500},  {SDL_HAT_LEFT, 27000}, {SDL_HAT_LEFTUP, 31500},
        {SDL_HAT_CENTERED, -1},
    };
    for (const auto& [bits, degrees] : hats) {
        delegate.reports.clear();
        pad.setHat(0, bits);
        pump();
        EXPECT_EQ(delegate.reports, std::vector<std::string>{"hat 0 0 " + std::to_string(degrees) + " " + kPadName});
    }

    delegate.reports.clear();
    pad.setButton(0, true);
    pad.setButton(16, true);
    pump();
    pad.setButton(16, false);
    pump();
    const std::string name = std::string(" ") + kPadName;
    EXPECT_EQ(delegate.reports, (std::vector<std::string>{"down 0" + name, "down 16" + name, "up 16" + name}));
    joystick->stopListening();
}

TEST_F(SDLHidJoystickTest, OnlyListeningJoysticksReportAndOnlyTheirOwnDevice) {
    VirtualPad pad(kPadName);
    VirtualPad other("SmartJoy PLUS Adapter");
    RecordingDelegate delegate;
    const std::vector<RefPtr<DDHidJoystick>> joysticks = DDHidJoystick::allJoysticks();
    const RefPtr<DDHidJoystick> joystick = pad.find(joysticks);
    const RefPtr<DDHidJoystick> otherJoystick = other.find(joysticks);
    ASSERT_NE(joystick, nullptr);
    ASSERT_NE(otherJoystick, nullptr);
    joystick->setDelegate(&delegate);
    otherJoystick->setDelegate(&delegate);

    pad.setButton(1, true);  // not yet listening
    pump();
    joystick->startListening();
    joystick->startListening();  // twice is once
    other.setButton(2, true);    // the other pad does not listen
    pad.setButton(1, false);
    pump();
    joystick->stopListening();
    pad.setButton(1, true);
    pump();
    EXPECT_EQ(delegate.reports, std::vector<std::string>{std::string("up 1 ") + kPadName});

    // Without a delegate the reports go nowhere.
    joystick->setDelegate(nullptr);
    joystick->startListening();
    pad.setButton(1, false);
    pump();
    EXPECT_EQ(delegate.reports.size(), 1u);
}

// A delegate that lets go of its joystick from inside a report.
class ReleasingDelegate : public DDHidJoystickDelegate {
public:
    void ddhidJoystickButtonDown(DDHidJoystick* joystick, uint32_t) override {
        joystick->stopListening();
        held.reset();
        ++downs;
    }
    RefPtr<DDHidJoystick> held;
    int downs = 0;
};

TEST_F(SDLHidJoystickTest, AJoystickReleasedByItsDelegateDuringAReportIsSafe) {
    VirtualPad pad(kPadName);
    ReleasingDelegate delegate;
    delegate.held = pad.listen(&delegate);
    ASSERT_NE(delegate.held, nullptr);
    pad.setButton(0, true);
    pad.setButton(1, true);
    pump();
    EXPECT_EQ(delegate.downs, 1);
    EXPECT_EQ(delegate.held, nullptr);
}

}  // namespace
