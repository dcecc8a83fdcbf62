#include "platform/window/GLWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>  // program_invocation_short_name
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/foundation/Log.h"
#include "platform/window/CursorHider.h"
#include "platform/window/KeyCodes.h"
#include "platform/window/UnmanagedX11Window.h"

namespace {

GLWindow::JoystickEventHandler joystickEventHandler = nullptr;

// Buttons as the event record numbers them: 0 left, 1 right, 2 middle, 3 and up the extra ones.
int64_t buttonNumber(uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return sdlButton - 1;
    }
}

uint64_t currentModifierFlags() {
    return modifierFlagsForKeyMod(uint16_t(SDL_GetModState()));
}

double seconds(uint32_t milliseconds) {
    return milliseconds / 1000.0;
}

// Opens the video system. Unless a driver is asked for by name (SDL_VIDEODRIVER or the hint, as
// tests do), only a graphical session's drivers are tried, those whose variable is set: without
// this SDL falls back to its off-screen driver, and the program would run in a window nobody can
// see, with no vertical sync to pace it. False after one logged line.
bool openVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetHint(SDL_HINT_VIDEODRIVER)) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
        logLine("cannot open a window: %s", SDL_GetError());
        return false;
    }
    struct Session {
        const char* variable;
        const char* driver;
    };
    std::string failures;
    for (const Session& session : {Session{"DISPLAY", "x11"}, Session{"WAYLAND_DISPLAY", "wayland"}}) {
        const char* display = std::getenv(session.variable);
        if (!display || !*display) continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, session.driver);
        const bool opened = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        if (opened) return true;
        if (!failures.empty()) failures += "; ";
        failures += std::string(session.variable) + "=" + display + ": " + SDL_GetError();
    }
    logLine("%s needs a graphical session: no display could be opened (%s)", program_invocation_short_name,
            failures.empty() ? "DISPLAY and WAYLAND_DISPLAY are not set" : failures.c_str());
    return false;
}

// What the player can do when the display offers no OpenGL the program can draw with.
void logNoOpenGL(const char* failure) {
    logLine("%s cannot open its window: %s. It draws with OpenGL 2.1 or later: start it in a graphical "
            "session whose display offers that (a desktop session with the graphics card's driver "
            "installed; remote and virtual displays often lack it)",
            program_invocation_short_name, failure);
}

}  // namespace

std::unique_ptr<GLWindow> GLWindow::create(const std::string& title, CGSize size, bool hidden,
                                           GLWindow* shareContext) {
    if (!(size.width >= 1 && size.height >= 1 && size.width <= INT32_MAX && size.height <= INT32_MAX)) {
        logLine("cannot open a window of %g x %g points", size.width, size.height);
        return nullptr;
    }
    if (!openVideo()) return nullptr;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    // Client-side vertex arrays and the alpha and luminance texture formats need the
    // compatibility profile.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    // The shaders need 2.1; a display that offers less fails here rather than at the first draw.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, shareContext ? 1 : 0);

    const uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | (hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          int(std::lround(size.width)), int(std::lround(size.height)), flags);
    if (!window) {
        logNoOpenGL(SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // SDL shares with the context that is current when the new one is made.
    const bool shareable = !shareContext || SDL_GL_MakeCurrent(shareContext->window_, shareContext->context_) == 0;
    SDL_GLContext context = shareable ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        logNoOpenGL((std::string("no OpenGL context: ") + SDL_GetError()).c_str());
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // Characters come from the keys themselves (KeyCodes.h); no input method in between.
    SDL_StopTextInput();
    return std::unique_ptr<GLWindow>(new GLWindow(window, context));
}

bool GLWindow::openDisplay() {
    // SDL opens an input method with its video, and with it the locale's compose table, which
    // libX11 (and xkbcommon under Wayland) parses from a text file of thousands of lines: about
    // 8 ms, near a tenth of the start. This program composes no text: it stops SDL's text input as
    // soon as its window is made and takes characters from the keys (KeyCodes.h). So the compose
    // file is an empty one while the display opens, and the user's setting is put back at once
    // for the programs the game starts (the browser). The environment has no lock: only
    // openDisplay does this, before the program starts any thread of its own.
    static constexpr const char* kComposeFile = "XCOMPOSEFILE";
    const char* user = std::getenv(kComposeFile);
    const std::optional<std::string> saved = user ? std::optional<std::string>(user) : std::nullopt;
    setenv(kComposeFile, "/dev/null", 1);
    const bool opened = openVideo();
    if (saved) {
        setenv(kComposeFile, saved->c_str(), 1);
    } else {
        unsetenv(kComposeFile);
    }
    return opened;
}

GLWindow::GLWindow(SDL_Window* window, void* context) : window_(window), context_(context) {}

GLWindow::~GLWindow() {
    SDL_GL_DeleteContext(context_);
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool GLWindow::makeCurrent() {
    if (SDL_GL_MakeCurrent(window_, context_) == 0) return true;
    logLine("cannot make the OpenGL context current: %s", SDL_GetError());
    return false;
}

void GLWindow::swapBuffers() {
    SDL_GL_SwapWindow(window_);
}

bool GLWindow::setSwapInterval(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0;
}

CGSize GLWindow::size() const {
    int width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    return {double(width), double(height)};
}

CGSize GLWindow::drawableSize() const {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    return {double(width), double(height)};
}

bool GLWindow::setFullScreen(bool fullScreen) {
    if (fullScreen == isFullScreen()) return true;
    // The windowed size is put back by hand on leaving: without a window manager (or with some)
    // the window would otherwise keep the screen's size.
    if (fullScreen) SDL_GetWindowSize(window_, &windowedWidth_, &windowedHeight_);
    if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        logLine("cannot %s full screen: %s", fullScreen ? "enter" : "leave", SDL_GetError());
        return false;
    }
    // SDL reports the window at the screen's size once it is full screen; but without a window
    // manager nobody has moved or sized the real window, so that is done here, and undone here.
    const bool unmanaged = isUnmanagedX11Window(window_);
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));  // -1 on a failure
    if (fullScreen) {
        SDL_Rect screen;
        if (unmanaged && SDL_GetDisplayBounds(display, &screen) == 0) {
            placeUnmanagedX11Window(window_, screen);
            SDL_RaiseWindow(window_);  // nobody else keeps it above the other windows either
        }
    } else if (windowedWidth_ > 0 && windowedHeight_ > 0) {
        SDL_SetWindowSize(window_, windowedWidth_, windowedHeight_);
        if (unmanaged) {
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                  SDL_WINDOWPOS_CENTERED_DISPLAY(display));
        }
    }
    return true;
}

bool GLWindow::isFullScreen() const {
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void GLWindow::setAcceptsTouchEvents(bool accepts) {
    acceptsTouchEvents_ = accepts;
    if (!accepts) fingers_.clear();
}

uint32_t GLWindow::windowID() const {
    return SDL_GetWindowID(window_);
}

void GLWindow::setJoystickEventHandler(JoystickEventHandler handler) { joystickEventHandler = handler; }

void GLWindow::pollEvents(const InputHandler& input, const WindowHandler& window) {
    const uint32_t id = windowID();
    bool closeReported = false;
    auto report = [&](WindowEventType type, CGSize size = {}) {
        if (type == WindowEventType::closeRequested) {
            if (closeReported) return;
            closeReported = true;
        }
        if (window) window(WindowEvent{type, size});
    };
    auto deliver = [&](const std::optional<Event>& event) {
        if (event && input) input(*event);
    };
    // Input events without a focused window (id 0) still belong to the only window.
    auto ours = [id](uint32_t eventWindow) { return eventWindow == 0 || eventWindow == id; };

    SDL_Event sdl;
    while (SDL_PollEvent(&sdl)) {
        switch (sdl.type) {
            case SDL_QUIT:
                report(WindowEventType::closeRequested);
                break;
            case SDL_WINDOWEVENT:
                if (sdl.window.windowID != id) break;
                switch (sdl.window.event) {
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                        if (sdl.window.data1 > 0 && sdl.window.data2 > 0) {
                            report(WindowEventType::resized, {double(sdl.window.data1), double(sdl.window.data2)});
                        }
                        break;
                    case SDL_WINDOWEVENT_CLOSE:
                        report(WindowEventType::closeRequested);
                        break;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        report(WindowEventType::focusGained);
                        break;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        // Fingers on a window that loses focus will not be followed to their end.
                        deliver(cancelTouches(seconds(sdl.window.timestamp)));
                        report(WindowEventType::focusLost);
                        break;
                    case SDL_WINDOWEVENT_ENTER:
                        deliver(pointerEvent(EventType::mouseEntered, seconds(sdl.window.timestamp)));
                        break;
                    case SDL_WINDOWEVENT_LEAVE:
                        deliver(pointerEvent(EventType::mouseExited, seconds(sdl.window.timestamp)));
                        break;
                    default:
                        break;
                }
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (ours(sdl.key.windowID)) deliver(eventForKeyboardEvent(sdl.key));
                break;
            case SDL_MOUSEMOTION:
                if (!ours(sdl.motion.windowID)) break;
                CursorHider::current().mouseMoved();
                deliver(mouseEvent(sdl));
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (ours(sdl.button.windowID)) deliver(mouseEvent(sdl));
                break;
            case SDL_MOUSEWHEEL:
                if (ours(sdl.wheel.windowID)) deliver(mouseEvent(sdl));
                break;
            case SDL_FINGERDOWN:
            case SDL_FINGERMOTION:
            case SDL_FINGERUP:
                if (ours(sdl.tfinger.windowID)) deliver(touchEvent(sdl));
                break;
            default:
                if (sdl.type >= SDL_JOYAXISMOTION && sdl.type < SDL_CONTROLLERAXISMOTION && joystickEventHandler) {
                    joystickEventHandler(sdl);
                }
                break;
        }
    }
}

CGPoint GLWindow::locationInWindow(double x, double yFromTop) const {
    return {x, size().height - yFromTop};
}

CGPoint GLWindow::mouseLocation() const {
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    return locationInWindow(x, y);
}

Event GLWindow::pointerEvent(EventType type, double timestamp) const {
    Event event;
    event.type = type;
    event.timestamp = timestamp;
    event.locationInWindow = mouseLocation();
    event.modifierFlags = currentModifierFlags();
    return event;
}

std::optional<Event> GLWindow::mouseEvent(const SDL_Event& sdl) const {
    Event event;
    event.modifierFlags = currentModifierFlags();
    switch (sdl.type) {
        case SDL_MOUSEMOTION: {
            const uint32_t buttons = sdl.motion.state;
            event.timestamp = seconds(sdl.motion.timestamp);
            event.locationInWindow = locationInWindow(sdl.motion.x, sdl.motion.y);
            event.deltaX = sdl.motion.xrel;
            event.deltaY = sdl.motion.yrel;
            if (buttons & SDL_BUTTON_LMASK) {
                event.type = EventType::mouseDragged;
                event.buttonNumber = 0;
            } else if (buttons & SDL_BUTTON_RMASK) {
                event.type = EventType::rightMouseDragged;
                event.buttonNumber = 1;
            } else if (buttons != 0) {
                // Left and right are up: the lowest button held is the one reported.
                event.type = EventType::otherMouseDragged;
                event.buttonNumber = buttonNumber(uint8_t(__builtin_ctz(buttons) + 1));
            } else {
                event.type = EventType::mouseMoved;
            }
            return event;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = sdl.type == SDL_MOUSEBUTTONDOWN;
            event.timestamp = seconds(sdl.button.timestamp);
            event.locationInWindow = locationInWindow(sdl.button.x, sdl.button.y);
            event.buttonNumber = buttonNumber(sdl.button.button);
            event.clickCount = sdl.button.clicks;
            if (sdl.button.button == SDL_BUTTON_LEFT) {
                event.type = down ? EventType::mouseDown : EventType::mouseUp;
            } else if (sdl.button.button == SDL_BUTTON_RIGHT) {
                event.type = down ? EventType::rightMouseDown : EventType::rightMouseUp;
            } else {
                event.type = down ? EventType::otherMouseDown : EventType::otherMouseUp;
            }
            return event;
        }
        case SDL_MOUSEWHEEL:
            event.type = EventType::scrollWheel;
            event.timestamp = seconds(sdl.wheel.timestamp);
            event.locationInWindow = locationInWindow(sdl.wheel.mouseX, sdl.wheel.mouseY);
            // SDL counts x positive to the right; the event record counts it positive to the left.
            // Both count y positive away from the user, and both flip with natural scrolling.
            event.deltaX = -double(sdl.wheel.preciseX);
            event.deltaY = sdl.wheel.preciseY;
            event.scrollingDeltaX = event.deltaX;
            event.scrollingDeltaY = event.deltaY;
            return event;
        default:
            return std::nullopt;
    }
}

std::optional<Event> GLWindow::touchEvent(const SDL_Event& sdl) {
    if (!acceptsTouchEvents_) return std::nullopt;
    const SDL_TouchFingerEvent& finger = sdl.tfinger;
    EventType type = EventType::touchesMoved;
    uint64_t phase = kTouchPhaseMoved;
    if (sdl.type == SDL_FINGERDOWN) {
        type = EventType::touchesBegan;
        phase = kTouchPhaseBegan;
    } else if (sdl.type == SDL_FINGERUP) {
        type = EventType::touchesEnded;
        phase = kTouchPhaseEnded;
    }
    Event event = pointerEvent(type, seconds(finger.timestamp));

    // A finger already down when touches were switched on is taken up at its first report.
    auto changed = std::find_if(fingers_.begin(), fingers_.end(), [&](const Finger& f) {
        return f.device == finger.touchId && f.touch.identity == finger.fingerId;
    });
    if (changed == fingers_.end()) {
        Finger landed{finger.touchId, {}};
        landed.touch.identity = finger.fingerId;
        changed = fingers_.insert(fingers_.end(), landed);
    }
    changed->touch.normalizedPosition = {finger.x, 1.0 - finger.y};

    for (const Finger& f : fingers_) {
        if (f.device != finger.touchId) continue;
        Touch touch = f.touch;
        touch.phase = &f == &*changed ? phase : kTouchPhaseStationary;
        event.touches.push_back(touch);
    }
    if (phase == kTouchPhaseEnded) fingers_.erase(changed);
    return event;
}

std::optional<Event> GLWindow::cancelTouches(double timestamp) {
    if (fingers_.empty()) return std::nullopt;
    Event event = pointerEvent(EventType::touchesCancelled, timestamp);
    for (const Finger& f : fingers_) {
        Touch touch = f.touch;
        touch.phase = kTouchPhaseCancelled;
        event.touches.push_back(touch);
    }
    fingers_.clear();
    return event;
}
