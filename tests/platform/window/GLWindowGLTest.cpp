#include "platform/window/GLWindow.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"

namespace {

constexpr double kWidth = 400;
constexpr double kHeight = 300;

class GLWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = GLWindow::create("GLWindowTest", {kWidth, kHeight});
        ASSERT_TRUE(window) << "no display: run under xvfb-run";
        id = window->windowID();
        // Whatever the windowing system said about the new window is not the test's business.
        poll();
        inputs.clear();
        windowEvents.clear();
    }

    void poll() {
        window->pollEvents([this](const Event& event) { inputs.push_back(event); },
                           [this](const WindowEvent& event) { windowEvents.push_back(event); });
    }

    // The inputs of the given type that the last polls produced.
    std::vector<Event> inputsOfType(EventType type) const {
        std::vector<Event> matching;
        for (const Event& event : inputs) {
            if (event.type == type) matching.push_back(event);
        }
        return matching;
    }

    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    void pushButton(uint32_t type, uint8_t button, int x, int y, uint8_t clicks = 1, uint32_t windowID = 0) {
        SDL_Event event{};
        const uint8_t state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button = {type, 0, windowID ? windowID : id, 0, button, state, clicks, 0, x, y};
        push(event);
    }

    void pushMotion(int x, int y, int xrel, int yrel, uint32_t buttons) {
        SDL_Event event{};
        event.motion = {SDL_MOUSEMOTION, 0, id, 0, buttons, x, y, xrel, yrel};
        push(event);
    }

    void pushKey(uint32_t type, SDL_Scancode scancode, uint16_t mod, uint8_t repeat, uint32_t windowID) {
        SDL_Event event{};
        event.key.type = type;
        event.key.windowID = windowID;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        event.key.keysym.mod = mod;
        push(event);
    }

    void pushWindowEvent(uint8_t what, int data1 = 0, int data2 = 0) {
        SDL_Event event{};
        event.window.type = SDL_WINDOWEVENT;
        event.window.windowID = id;
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        push(event);
    }

    void pushFinger(uint32_t type, SDL_FingerID finger, float x, float y) {
        SDL_Event event{};
        event.tfinger = {type, 0, 1, finger, x, y, 0, 0, 0, id};
        push(event);
    }

    // Clearing the window's back buffer to `rgb` reads back at (x, y).
    static void expectClearReadsBack(GLWindow& target, int x, int y, const std::array<unsigned char, 3>& rgb) {
        ASSERT_TRUE(target.makeCurrent());
        glClearColor(rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        unsigned char pixel[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ((std::array<unsigned char, 3>{pixel[0], pixel[1], pixel[2]}), rgb);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    std::unique_ptr<GLWindow> window;
    uint32_t id = 0;
    std::vector<Event> inputs;
    std::vector<WindowEvent> windowEvents;
};

TEST(GLWindowCreation, RefusalsAreLoggedNotFatal) {
    LogCapture capture;
    EXPECT_FALSE(GLWindow::create("bad", {0, 100}));
    EXPECT_FALSE(GLWindow::create("bad", {100, -5}));
    EXPECT_TRUE(capture.contains("cannot open a window of 0 x 100 points"));

    // With no usable display. Only testable while no other window holds the video system open.
    if (SDL_WasInit(SDL_INIT_VIDEO)) GTEST_SKIP() << "the video system is already open";
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "no-such-display");
    EXPECT_FALSE(GLWindow::create("bad", {100, 100}));
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    EXPECT_TRUE(capture.contains("cannot open a window: "));
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_VIDEO));
}

TEST_F(GLWindowTest, OpensADoubleBufferedCompatibilityContextWithDepth) {
    EXPECT_EQ(window->size(), CGSizeMake(kWidth, kHeight));
    EXPECT_EQ(window->drawableSize(), CGSizeMake(kWidth, kHeight));
    EXPECT_TRUE(window->makeCurrent());

    int doubleBuffer = 0, profile = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_EQ(doubleBuffer, 1);
    EXPECT_EQ(profile, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);  // a compatibility-profile query
    EXPECT_GE(depthBits, 24);

    // Drawing reaches the back buffer through the epoxy-loaded functions.
    expectClearReadsBack(*window, 10, 10, {255, 0, 0});
    window->swapBuffers();
    window->setSwapInterval(1);  // refused on a virtual display, granted on most others
}

TEST_F(GLWindowTest, MouseEventsBecomeViewOperationsInBottomLeftPoints) {
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20, 2);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 20);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 5, 5);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 0, 0);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_X1, 0, 0);
    pushMotion(50, 60, 3, -4, 0);
    pushMotion(51, 61, 1, 1, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK);
    pushMotion(52, 62, 1, 1, SDL_BUTTON_RMASK);
    pushMotion(53, 63, 1, 1, SDL_BUTTON_MMASK);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1, 1, id + 100);  // another window's
    poll();

    std::vector<Event> buttons;
    for (const Event& event : inputs) {
        if (event.type != EventType::mouseEntered && event.type != EventType::mouseExited) buttons.push_back(event);
    }
    ASSERT_EQ(buttons.size(), 11u);
    const std::vector<EventType> expected = {
        EventType::mouseDown,      EventType::mouseUp,       EventType::rightMouseDown,
        EventType::rightMouseUp,   EventType::otherMouseDown, EventType::otherMouseUp,
        EventType::mouseMoved,     EventType::mouseDragged,  EventType::rightMouseDragged,
        EventType::otherMouseDragged, EventType::mouseDown,
    };
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(buttons[i].type, expected[i]) << i;

    EXPECT_EQ(buttons[0].locationInWindow, CGPointMake(10, kHeight - 20));
    EXPECT_EQ(buttons[0].buttonNumber, 0);
    EXPECT_EQ(buttons[0].clickCount, 2);
    EXPECT_EQ(buttons[2].buttonNumber, 1);
    EXPECT_EQ(buttons[4].locationInWindow, CGPointMake(0, kHeight));
    EXPECT_EQ(buttons[4].buttonNumber, 2);
    EXPECT_EQ(buttons[5].buttonNumber, 3);
    EXPECT_EQ(buttons[6].locationInWindow, CGPointMake(50, kHeight - 60));
    EXPECT_EQ(buttons[6].deltaX, 3);
    EXPECT_EQ(buttons[6].deltaY, -4);
    EXPECT_EQ(buttons[7].buttonNumber, 0);  // left wins when several buttons are held
    EXPECT_EQ(buttons[8].buttonNumber, 1);
    EXPECT_EQ(buttons[9].buttonNumber, 2);
    EXPECT_TRUE(windowEvents.empty());
}

TEST_F(GLWindowTest, WheelEnterAndExit) {
    SDL_Event wheel{};
    wheel.wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = id;
    wheel.wheel.x = 1;
    wheel.wheel.y = 1;
    wheel.wheel.preciseX = 0.5f;
    wheel.wheel.preciseY = 1.25f;
    wheel.wheel.mouseX = 30;
    wheel.wheel.mouseY = 40;
    push(wheel);
    pushWindowEvent(SDL_WINDOWEVENT_ENTER);
    pushWindowEvent(SDL_WINDOWEVENT_LEAVE);
    poll();

    auto scrolls = inputsOfType(EventType::scrollWheel);
    ASSERT_EQ(scrolls.size(), 1u);
    EXPECT_EQ(scrolls[0].locationInWindow, CGPointMake(30, kHeight - 40));
    EXPECT_DOUBLE_EQ(scrolls[0].deltaY, 1.25);  // up, away from the user
    EXPECT_DOUBLE_EQ(scrolls[0].deltaX, -0.5);  // to the right
    EXPECT_FALSE(scrolls[0].hasPreciseScrollingDeltas);
    EXPECT_GE(inputsOfType(EventType::mouseEntered).size(), 1u);
    EXPECT_GE(inputsOfType(EventType::mouseExited).size(), 1u);
}

TEST_F(GLWindowTest, KeyEventsCarryKeyCodesCharactersAndFlags) {
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, KMOD_NONE, 0, id);
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, KMOD_NONE, 1, id);
    pushKey(SDL_KEYUP, SDL_SCANCODE_RIGHT, KMOD_NONE, 0, id);
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT, 0, id);
    pushKey(SDL_KEYUP, SDL_SCANCODE_LSHIFT, KMOD_NONE, 0, id);
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_KP_4, KMOD_NONE, 0, 0);  // no focused window: still ours
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, KMOD_NONE, 0, id + 100);  // another window's
    poll();

    auto downs = inputsOfType(EventType::keyDown);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].keyCode, kKeyCodeRightArrow);
    EXPECT_EQ(downs[0].charactersIgnoringModifiers, kRightArrowCharacters);
    EXPECT_EQ(downs[0].modifierFlags, kModifierNumericPad | kModifierFunction);
    EXPECT_FALSE(downs[0].isARepeat);
    EXPECT_TRUE(downs[1].isARepeat);
    EXPECT_EQ(downs[2].keyCode, kKeyCodeKeypad4);
    EXPECT_EQ(downs[2].charactersIgnoringModifiers, "4");
    EXPECT_EQ(downs[2].modifierFlags & kModifierNumericPad, kModifierNumericPad);

    ASSERT_EQ(inputsOfType(EventType::keyUp).size(), 1u);

    // Shift alone is a change of flags, never a key of its own.
    auto flags = inputsOfType(EventType::flagsChanged);
    ASSERT_EQ(flags.size(), 2u);
    EXPECT_EQ(flags[0].keyCode, 56);
    EXPECT_EQ(flags[0].modifierFlags, kModifierShift);
    EXPECT_EQ(flags[1].modifierFlags, 0u);
}

TEST_F(GLWindowTest, WindowEventsAreReportedApart) {
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 0, 480);  // never a zero size
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    poll();

    ASSERT_EQ(windowEvents.size(), 4u);
    EXPECT_EQ(windowEvents[0].type, WindowEventType::resized);
    EXPECT_EQ(windowEvents[0].size, CGSizeMake(640, 480));
    EXPECT_EQ(windowEvents[1].type, WindowEventType::focusGained);
    EXPECT_EQ(windowEvents[2].type, WindowEventType::closeRequested);  // once for both requests
    EXPECT_EQ(windowEvents[3].type, WindowEventType::focusLost);

    // The next poll reports a new close request again.
    windowEvents.clear();
    push(quit);
    poll();
    ASSERT_EQ(windowEvents.size(), 1u);
    EXPECT_EQ(windowEvents[0].type, WindowEventType::closeRequested);
}

TEST_F(GLWindowTest, TouchesFollowEveryFingerWhileAccepted) {
    EXPECT_FALSE(window->acceptsTouchEvents());
    pushFinger(SDL_FINGERDOWN, 7, 0.25f, 0.25f);
    poll();
    EXPECT_TRUE(inputsOfType(EventType::touchesBegan).empty());

    window->setAcceptsTouchEvents(true);
    pushFinger(SDL_FINGERDOWN, 7, 0.25f, 0.25f);
    pushFinger(SDL_FINGERDOWN, 9, 0.5f, 0.5f);
    pushFinger(SDL_FINGERMOTION, 7, 0.25f, 0.5f);
    pushFinger(SDL_FINGERUP, 9, 0.5f, 0.5f);
    poll();

    auto began = inputsOfType(EventType::touchesBegan);
    ASSERT_EQ(began.size(), 2u);
    ASSERT_EQ(began[0].touches.size(), 1u);
    EXPECT_EQ(began[0].touches[0].normalizedPosition, CGPointMake(0.25, 0.75));  // origin bottom-left
    // The second finger's event still shows the first one, stationary.
    ASSERT_EQ(began[1].touches.size(), 2u);
    EXPECT_EQ(began[1].touchesMatchingPhase(kTouchPhaseBegan)[0].identity, 9);
    EXPECT_EQ(began[1].touchesMatchingPhase(kTouchPhaseStationary)[0].identity, 7);
    EXPECT_EQ(began[1].touchesMatchingPhase(kTouchPhaseTouching).size(), 2u);

    auto moved = inputsOfType(EventType::touchesMoved);
    ASSERT_EQ(moved.size(), 1u);
    auto movedFinger = moved[0].touchesMatchingPhase(kTouchPhaseMoved);
    ASSERT_EQ(movedFinger.size(), 1u);
    EXPECT_EQ(movedFinger[0].normalizedPosition, CGPointMake(0.25, 0.5));

    auto ended = inputsOfType(EventType::touchesEnded);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].touchesMatchingPhase(kTouchPhaseEnded)[0].identity, 9);
    auto stillTouching = ended[0].touchesMatchingPhase(kTouchPhaseTouching);
    ASSERT_EQ(stillTouching.size(), 1u);
    EXPECT_EQ(stillTouching[0].identity, 7);

    // Losing focus cancels the fingers still down.
    inputs.clear();
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    poll();
    auto cancelled = inputsOfType(EventType::touchesCancelled);
    ASSERT_EQ(cancelled.size(), 1u);
    ASSERT_EQ(cancelled[0].touches.size(), 1u);
    EXPECT_EQ(cancelled[0].touches[0].identity, 7);

    inputs.clear();
    window->setAcceptsTouchEvents(false);
    pushFinger(SDL_FINGERMOTION, 7, 0.3f, 0.3f);
    poll();
    EXPECT_TRUE(inputs.empty());
}

TEST_F(GLWindowTest, FullScreenAndHiddenWindowsKeepDrawing) {
    EXPECT_TRUE(window->setFullScreen(true));
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_TRUE(window->setFullScreen(true));  // no change
    EXPECT_TRUE(window->setFullScreen(false));
    EXPECT_FALSE(window->isFullScreen());
    expectClearReadsBack(*window, 0, 0, {0, 0, 255});

    auto hidden = GLWindow::create("hidden", {64, 32}, true);
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden->size(), CGSizeMake(64, 32));
    expectClearReadsBack(*hidden, 63, 31, {0, 255, 0});
}

}  // namespace
