#include <gtest/gtest.h>

#include "platform/hid/DDHidJoystick.h"
#include "platform/window/GLWindow.h"
#include "tests/support/TestWindow.h"
#include "tests/platform/hid/VirtualPad.h"

namespace {

// The window's own event pump hands the pad's input to the listening joystick, also while the
// window does not have the focus.
TEST(JoystickWindowPumpTest, TheWindowsPumpDeliversPadInputToListeningJoysticks) {
    const std::unique_ptr<GLWindow> window =
        windowOrStop(GLWindow::create("JoystickWindowPumpTest", {200, 100}, true));
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    {
        VirtualPad pad("PLAYSTATION(R)3 Controller");
        RecordingDelegate delegate;
        const RefPtr<DDHidJoystick> joystick = pad.listen(&delegate);
        ASSERT_NE(joystick, nullptr);

        int inputs = 0;
        pad.setButton(16, true);
        pad.setAxis(0, -32768);
        window->pollEvents([&](const Event&) { ++inputs; }, nullptr);
        // SDL reports a pad's axes before its buttons.
        EXPECT_EQ(delegate.reports, (std::vector<std::string>{"x 0 -65536 PLAYSTATION(R)3 Controller",
                                                              "down 16 PLAYSTATION(R)3 Controller"}));
        EXPECT_EQ(inputs, 0) << "pad input is not the window's input";
        joystick->stopListening();
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace
