#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Geometry.h"
#include "platform/window/Event.h"

struct SDL_Window;
union SDL_Event;

// What happened to the window itself, as opposed to input inside it.
enum class WindowEventType : uint8_t {
    resized,         // the window has a new size, in WindowEvent::size; never reported for a zero size
    closeRequested,  // the user or the system asked to quit; the window stays open until destroyed
    focusGained,     // keyboard focus came to the window
    focusLost,
};

struct WindowEvent {
    WindowEventType type = WindowEventType::resized;
    CGSize size;  // points; set for resized only
};

// A desktop window with a double-buffered OpenGL compatibility context and a depth buffer of 24
// bits, whose functions come through libepoxy. It turns the windowing system's events into Event
// records, each named after the view operation that receives it.
//
// Sizes are in points; the window is not high-DPI aware, so points and pixels coincide on the
// screens it runs on, and drawableSize() is what the GL viewport should cover.
//
// Threads: create, poll and destroy the window on the main thread. The GL context is current on
// the thread that last called makeCurrent() (the creating thread to begin with).
class GLWindow {
public:
    using InputHandler = std::function<void(const Event&)>;
    using WindowHandler = std::function<void(const WindowEvent&)>;

    // Opens a resizable window of `size` points with its GL context current on the calling thread.
    // A hidden window draws and reads back like a shown one (for tests). Returns null and logs one
    // line when the size is not positive, no display can be opened or GL cannot be had. The display
    // is the session's (DISPLAY, WAYLAND_DISPLAY); SDL's off-screen and dummy drivers serve only
    // when asked for by name (SDL_VIDEODRIVER), never as a silent fallback.
    // With `shareContext`, the new context shares its objects (textures, buffers, programs) with
    // that window's context; the two keep their own state (bindings, current program).
    static std::unique_ptr<GLWindow> create(const std::string& title, CGSize size, bool hidden = false,
                                            GLWindow* shareContext = nullptr);
    // Opens the display as create does, ahead of the windows, and keeps it open for the rest of
    // the run: a program can then learn that it has a graphical session before it makes its
    // window. False after the one logged line when there is none. Call it before the program
    // starts its threads: it skips the input method's compose table through the environment.
    static bool openDisplay();
    ~GLWindow();
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;

    // Makes the context current on the calling thread; false (logged) when the system refuses.
    bool makeCurrent();
    // Presents the back buffer.
    void swapBuffers();
    // 1 waits for vertical sync at each swap, 0 does not. False when the driver cannot do it (a
    // virtual display has no vertical sync); the caller then paces frames itself.
    bool setSwapInterval(int interval);

    CGSize size() const;          // points
    CGSize drawableSize() const;  // pixels of the GL drawable

    // Covers the whole screen of the window (without changing the video mode) or goes back to
    // the window's former size. On an X server without a window manager, where nobody else would,
    // the window sizes and places itself: over the screen, and back centred on it. The context and
    // its objects survive. False (logged) on refusal.
    bool setFullScreen(bool fullScreen);
    bool isFullScreen() const;

    // Touch-surface events are forwarded only while accepted; off by default. Switching off
    // forgets the fingers down.
    void setAcceptsTouchEvents(bool accepts);
    bool acceptsTouchEvents() const { return acceptsTouchEvents_; }

    // Drains the windowing system's queue: each input event goes to `input`, each window event to
    // `window` (either may be empty), in arrival order. Close requests are reported at most once
    // per call. Events of other windows are dropped. The handlers must not destroy this window.
    // Every mouse motion over the window is also told to CursorHider::current(), so that a hidden
    // pointer shows again.
    void pollEvents(const InputHandler& input, const WindowHandler& window);

    // The windowing system's id of the window, as carried by its events.
    uint32_t windowID() const;

    // Joystick events are nobody's window's: pollEvents hands each one it meets to this handler,
    // process-wide (none at start). The HID layer installs it.
    using JoystickEventHandler = void (*)(const SDL_Event& event);
    static void setJoystickEventHandler(JoystickEventHandler handler);

private:
    // One finger down on a touch surface.
    struct Finger {
        int64_t device;
        Touch touch;
    };

    GLWindow(SDL_Window* window, void* context);

    // Location in the window, points, origin bottom-left, of a position from the top-left.
    CGPoint locationInWindow(double x, double yFromTop) const;
    CGPoint mouseLocation() const;
    // An event of `type` at the pointer's current position with the current modifiers.
    Event pointerEvent(EventType type, double timestamp) const;
    std::optional<Event> mouseEvent(const SDL_Event& sdl) const;
    std::optional<Event> touchEvent(const SDL_Event& sdl);
    std::optional<Event> cancelTouches(double timestamp);

    SDL_Window* window_;
    void* context_;  // SDL_GLContext
    bool acceptsTouchEvents_ = false;
    int windowedWidth_ = 0;  // points, remembered on entering full screen
    int windowedHeight_ = 0;
    std::vector<Finger> fingers_;  // down while touches are accepted, in landing order
};
