#include "platform/window/GLWindow.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/window/CursorHider.h"
#include "platform/window/UnmanagedX11Window.h"
#include "support/CountingCursorHider.h"
#include "support/TestWindow.h"
#include "tests/platform/window/X11WindowGeometry.h"

namespace {

constexpr int kHeight = 300;

class GLWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = windowOrStop(GLWindow::create("GLWindowTest", {400, kHeight}));
        id = window->windowID();
        poll();  // what the windowing system said about the new window is not the test's business
        windowEvents.clear();
    }
    // Polls into windowEvents, and returns the inputs other than the pointer entering and leaving
    // (which the windowing system adds as it likes).
    std::vector<Event> poll() {
        std::vector<Event> inputs;
        window->pollEvents(
            [&](const Event& e) {
                if (e.type != EventType::mouseEntered && e.type != EventType::mouseExited) inputs.push_back(e);
            },
            [this](const WindowEvent& event) { windowEvents.push_back(event); });
        return inputs;
    }
    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    void pushWindowEvent(uint8_t what, int width = 0, int height = 0) {
        push({.window = {SDL_WINDOWEVENT, 0, id, what, 0, 0, 0, width, height}});
    }
    void pushFinger(uint32_t type, SDL_FingerID finger, float x, float y) {
        push({.tfinger = {type, 0, 1, finger, x, y, 0, 0, 0, id}});
    }

    std::unique_ptr<GLWindow> window;
    uint32_t id = 0;
    std::vector<WindowEvent> windowEvents;
};

// Clearing the window's back buffer to `rgb` reads back at (x, y).
void expectClearReadsBack(GLWindow& target, int x, int y, const std::array<uint8_t, 3>& rgb) {
    ASSERT_TRUE(target.makeCurrent());
    glClearColor(rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    std::array<uint8_t, 4> pixel{};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    EXPECT_EQ((std::array<uint8_t, 3>{pixel[0], pixel[1], pixel[2]}), rgb);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GLWindowTest, ADoubleBufferedCompatibilityContextWithDepthDrawsShownHiddenAndFullScreen) {
    EXPECT_EQ(window->drawableSize(), CGSizeMake(400, kHeight));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);  // an error in a core profile, caught below
    EXPECT_GE(depthBits, 24);
    expectClearReadsBack(*window, 10, 10, {255, 0, 0});  // the back buffer

    EXPECT_TRUE(window->setFullScreen(true));
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_TRUE(window->setFullScreen(false));
    EXPECT_FALSE(window->isFullScreen());
    expectClearReadsBack(*window, 0, 0, {0, 0, 255});
    auto hidden = windowOrStop(GLWindow::create("hidden", {64, 32}, true));
    expectClearReadsBack(*hidden, 63, 31, {0, 255, 0});
}

// SDL reports a full-screen request done, with the screen's size, whether or not anybody acted on
// it. On an X server without a window manager (as under a bare Xvfb) nobody does, so the window
// places itself: it covers the screen, tells its new size, and goes back to its windowed size,
// centred, on leaving. A running manager is left to do it.
TEST_F(GLWindowTest, WithoutAWindowManagerFullScreenReallyCoversTheScreenAndLeavingCentresTheWindow) {
    SKIP_WHERE_A_WINDOW_MANAGER_RUNS(*window);
    const X11Rect screen = x11WindowGeometry(*window).screen;
    const X11Rect windowed{(screen.width - 400) / 2, (screen.height - kHeight) / 2, 400, kHeight};
    ASSERT_EQ(x11WindowGeometry(*window).frame, windowed);
    const auto lastResize = [this] {
        const auto resize = std::find_if(windowEvents.rbegin(), windowEvents.rend(), [](const WindowEvent& e) {
            return e.type == WindowEventType::resized;
        });
        return resize == windowEvents.rend() ? CGSizeZero : resize->size;
    };
    enum Manager { none, ended, running };
    const char* const managerNames[] = {"no manager", "an ended manager", "a running manager"};
    for (const Manager manager : {none, ended, running}) {
        SCOPED_TRACE(managerNames[manager]);
        std::optional<AnnouncedWindowManager> announcement;
        if (manager != none) announcement.emplace(*window, manager == running);
        // What the program decides, and what decides whether this test and the menu's full-screen
        // test run.
        EXPECT_EQ(isUnmanagedX11Window(SDL_GetWindowFromID(id)), manager != running);
        EXPECT_EQ(x11WindowManagerRuns(*window), manager == running);
        ASSERT_TRUE(window->setFullScreen(true));
        pollUntilTheSizeIsReal(*window, [this] { poll(); });
        if (manager == running) {  // the rest is the manager's, and this one does nothing
            EXPECT_EQ(x11WindowGeometry(*window).frame, windowed);
            break;
        }
        EXPECT_EQ(x11WindowGeometry(*window).frame, screen);
        EXPECT_EQ(window->size(), CGSizeMake(screen.width, screen.height));
        EXPECT_EQ(lastResize(), window->size());

        ASSERT_TRUE(window->setFullScreen(false));
        pollUntilTheSizeIsReal(*window, [this] { poll(); });
        EXPECT_EQ(x11WindowGeometry(*window).frame, windowed);
        EXPECT_EQ(window->size(), CGSizeMake(400, kHeight));
        EXPECT_EQ(lastResize(), window->size());
    }
}

TEST_F(GLWindowTest, PointerEventsBecomeViewOperationsInBottomLeftPoints) {
    using enum EventType;
    const auto button = [this](uint32_t type, uint8_t which, int x, int y, uint32_t window = 0) {
        const uint8_t state = type == SDL_MOUSEBUTTONDOWN;
        return SDL_Event{.button = {type, 0, window ? window : id, 0, which, state, 2, 0, x, y}};
    };
    const auto motion = [this](int y, uint32_t buttons) {
        return SDL_Event{.motion = {SDL_MOUSEMOTION, 0, id, 0, buttons, 50, y, 3, -4}};
    };
    const SDL_Event wheel{.wheel = {SDL_MOUSEWHEEL, 0, id, 0, 1, 1, SDL_MOUSEWHEEL_NORMAL, 0.5f, 1.25f, 30, 40}};
    const std::tuple<SDL_Event, EventType, double, int64_t> cases[] = {
        // what the windowing system reports, the operation, its y from the bottom, its button
        {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), mouseDown, kHeight - 20, 0},
        {button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 5, 5), rightMouseUp, kHeight - 5, 1},
        {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 0, 0), otherMouseDown, kHeight, 3},
        {motion(60, 0), mouseMoved, kHeight - 60, 0},
        {motion(61, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK), mouseDragged, kHeight - 61, 0},  // left wins
        {motion(62, SDL_BUTTON_RMASK), rightMouseDragged, kHeight - 62, 1},
        {motion(63, SDL_BUTTON_MMASK), otherMouseDragged, kHeight - 63, 2},
        {wheel, scrollWheel, kHeight - 40, 0},
    };
    for (const auto& c : cases) push(std::get<0>(c));
    push(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1, id + 100));  // another window's
    const std::vector<Event> got = poll();
    ASSERT_EQ(got.size(), std::size(cases));
    for (size_t i = 0; i < got.size(); ++i) {
        const auto& [sdl, type, y, button] = cases[i];
        const Event& e = got[i];
        EXPECT_EQ(std::tuple(e.type, e.locationInWindow.y, e.buttonNumber), std::tuple(type, y, button)) << i;
    }
    EXPECT_EQ(std::tuple(got[0].clickCount, got[3].deltaX, got[3].deltaY), std::tuple(2, 3.0, -4.0));
    // Wheel: up is away from the user, x counts to the left.
    EXPECT_EQ(std::tuple(got[7].locationInWindow.x, got[7].deltaX, got[7].deltaY), std::tuple(30.0, -0.5, 1.25));
}

TEST_F(GLWindowTest, MouseMotionOverTheWindowShowsAHiddenPointer) {
    CountingCursorHider hider;
    CursorHider::current().hideUntilMouseMoves();
    push({.button = {SDL_MOUSEBUTTONDOWN, 0, id, 0, SDL_BUTTON_LEFT, 1, 1, 0, 5, 5}});
    push({.motion = {SDL_MOUSEMOTION, 0, id + 100, 0, 0, 5, 5, 1, 1}});  // another window's
    poll();
    EXPECT_TRUE(hider.hidden);
    push({.motion = {SDL_MOUSEMOTION, 0, id, 0, 0, 6, 5, 1, 0}});
    poll();
    EXPECT_FALSE(hider.hidden);
    EXPECT_EQ(hider.motions, 1);
}

TEST_F(GLWindowTest, KeysOfThisWindowOrOfNoneAreDeliveredAndWindowEventsReportedApart) {
    for (const uint32_t window : {id, 0u, id + 100}) {
        push({.key = {SDL_KEYDOWN, 0, window, SDL_PRESSED, 0, 0, 0, {SDL_SCANCODE_KP_4, SDLK_KP_4, KMOD_NONE, 0}}});
    }
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 0, 480);  // never a zero size
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    const SDL_Event quit{.type = SDL_QUIT};
    push(quit);  // the second close request of this poll
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(poll().size(), 2u);
    push(quit);  // reported again by the next poll
    poll();
    std::vector<std::pair<WindowEventType, CGSize>> got;
    for (const WindowEvent& event : windowEvents) got.emplace_back(event.type, event.size);
    EXPECT_EQ(got, (std::vector<std::pair<WindowEventType, CGSize>>{{WindowEventType::resized, {640, 480}},
                                                                    {WindowEventType::focusGained, {}},
                                                                    {WindowEventType::closeRequested, {}},
                                                                    {WindowEventType::focusLost, {}},
                                                                    {WindowEventType::closeRequested, {}}}));
}

TEST_F(GLWindowTest, TouchesFollowEveryFingerWhileAccepted) {
    window->setAcceptsTouchEvents(true);
    pushFinger(SDL_FINGERDOWN, 7, 0.25f, 0.25f);
    pushFinger(SDL_FINGERDOWN, 9, 0.5f, 0.5f);
    pushFinger(SDL_FINGERMOTION, 7, 0.25f, 0.5f);
    pushFinger(SDL_FINGERUP, 9, 0.5f, 0.5f);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);  // cancels the fingers still down
    const std::vector<Event> got = poll();
    // Each event lists the device's fingers in landing order: identity, phase, position.
    using Finger = std::tuple<int64_t, uint64_t, CGPoint>;
    const std::vector<std::pair<EventType, std::vector<Finger>>> expected = {
        {EventType::touchesBegan, {{7, kTouchPhaseBegan, {0.25, 0.75}}}},
        {EventType::touchesBegan, {{7, kTouchPhaseStationary, {0.25, 0.75}}, {9, kTouchPhaseBegan, {0.5, 0.5}}}},
        {EventType::touchesMoved, {{7, kTouchPhaseMoved, {0.25, 0.5}}, {9, kTouchPhaseStationary, {0.5, 0.5}}}},
        {EventType::touchesEnded, {{7, kTouchPhaseStationary, {0.25, 0.5}}, {9, kTouchPhaseEnded, {0.5, 0.5}}}},
        {EventType::touchesCancelled, {{7, kTouchPhaseCancelled, {0.25, 0.5}}}},
    };
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        std::vector<Finger> fingers;
        for (const Touch& t : got[i].touches) fingers.emplace_back(t.identity, t.phase, t.normalizedPosition);
        EXPECT_EQ(std::pair(got[i].type, fingers), expected[i]) << i;
    }
}

}  // namespace

// A display whose OpenGL is older than 2.1 (here Mesa made to offer 2.0): no window, and one line
// that names the program and says what the player needs.
TEST(GLWindowRefusal, ADisplayWithoutOpenGL21OpensNoWindowAndSaysWhatIsNeeded) {
    setenv("MESA_GL_VERSION_OVERRIDE", "2.0", 1);
    LogCapture capture;
    EXPECT_FALSE(GLWindow::create("too old", {100, 100}));
    unsetenv("MESA_GL_VERSION_OVERRIDE");
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines[0];
    EXPECT_EQ(line.rfind(std::string(program_invocation_short_name) + " cannot open its window: ", 0), 0u) << line;
    EXPECT_NE(line.find("start it in a graphical session whose display offers that"), std::string::npos) << line;
}
