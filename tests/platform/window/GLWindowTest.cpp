// Opening a window where none can be opened: one logged line, no window. Runs without a display.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/foundation/Log.h"
#include "platform/window/GLWindow.h"

TEST(GLWindowRefusal, WithoutAGraphicalSessionOrASizeNoWindowOpens) {
    // Where SDL would fall back to an invisible off-screen window. This program opens no window,
    // so the variables stay unset.
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) unsetenv(variable);
    const std::pair<CGSize, std::string> cases[] = {
        {{0, 100}, "cannot open a window of 0 x 100 points"},
        {{100, -5}, "cannot open a window of 100 x -5 points"},
        {{100, 100}, std::string(program_invocation_short_name) +
                         " needs a graphical session: no display could be opened (DISPLAY and WAYLAND_DISPLAY are "
                         "not set)"},
    };
    for (const auto& [size, line] : cases) {
        LogCapture capture;
        EXPECT_FALSE(GLWindow::create("refused", size));
        EXPECT_EQ(capture.lines(), std::vector<std::string>{line});
    }
}

TEST(GLWindowDisplay, OpeningTheDisplayLeavesTheUsersComposeFileAsItWas) {
    // The compose table is skipped only while the display opens; programs started later (the
    // browser) must see the user's own setting, or none. Without a display the opening fails after
    // the same steps.
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) unsetenv(variable);
    LogCapture quiet;
    setenv("XCOMPOSEFILE", "/home/player/.XCompose", 1);
    EXPECT_FALSE(GLWindow::openDisplay());
    ASSERT_NE(std::getenv("XCOMPOSEFILE"), nullptr);
    EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/home/player/.XCompose");
    unsetenv("XCOMPOSEFILE");
    EXPECT_FALSE(GLWindow::openDisplay());
    EXPECT_EQ(std::getenv("XCOMPOSEFILE"), nullptr);
}
