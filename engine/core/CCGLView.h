#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"
#include "platform/window/GLWindow.h"

class CCEventDispatcher;

// The view the engine draws into: a window with a double-buffered GL context and a 24-bit depth
// buffer. It gives the director its size on every resize and forwards every input event to its
// event delegate on the engine thread, without waiting, so that the event is delivered in the
// run-loop pass after the frame being drawn.
//
// The context lock is recursive: the frame holds it from the scheduler tick to the buffer swap,
// and a reshape takes it again to draw one frame of the new size itself.
//
// Main thread only (which is also the engine thread on this platform).
class CCGLView : public Object {
public:
    // Opens a window of the frame's size (points; the system places it) titled `title`; a hidden
    // window draws like a shown one. Null (logged) when no window or GL context can be had.
    static RefPtr<CCGLView> viewWithFrame(CGRect frame, const std::string& title, bool hidden = false,
                                          GLWindow* shareContext = nullptr);

    CCGLView() = default;
    // With `shareContext` (another view's window), this view's GL context shares that one's
    // objects: a texture made in either draws in both. The engine draws and loads its textures in
    // the director's view's context only, and its GL state cache follows that context alone: a
    // view made this way draws the shared objects with its own GL calls.
    bool initWithFrame(CGRect frame, const std::string& title, bool hidden, GLWindow* shareContext = nullptr);

    // (0, 0, width, height) of the window, points; equal to pixels on this platform.
    CGRect bounds() const;
    // Bits of the depth buffer.
    int depthFormat() const { return 24; }

    // Makes the context current on the calling thread, then takes the context lock.
    void lockOpenGLContext();
    void unlockOpenGLContext();
    // Presents the frame drawn into the back buffer.
    void flushBuffer();
    // 1 waits for vertical sync at every flush; false when the driver cannot.
    bool setSwapInterval(int interval);

    // Takes the new size: the director's reshapeProjection and, with a running scene, one frame
    // of that size drawn at once, under the context lock. A zero size is ignored.
    void reshape();

    // Not retained; the frame-loop director sets its event dispatcher.
    CCEventDispatcher* eventDelegate() const { return eventDelegate_; }
    void setEventDelegate(CCEventDispatcher* delegate) { eventDelegate_ = delegate; }

    // Pointer motion without a button held is forwarded only while accepted (at start).
    bool acceptsMouseMovedEvents() const { return acceptsMouseMovedEvents_; }
    void setAcceptsMouseMovedEvents(bool accepts) { acceptsMouseMovedEvents_ = accepts; }

    // Trackpad touches are forwarded only while accepted.
    bool acceptsTouchEvents() const;
    void setAcceptsTouchEvents(bool accepts);

    bool setFullScreen(bool fullScreen);
    bool isFullScreen() const;

    // Drains the window's events: input is forwarded to the event delegate, a resize reshapes, a
    // close request is remembered.
    void pumpEvents();
    // The user asked to close the window.
    bool closeRequested() const { return closeRequested_; }

    // Told, from pumpEvents, when keyboard focus comes to the window (true) or leaves it (false):
    // the application becomes active or resigns active. Focus changes go nowhere without one.
    using ActivationHandler = std::function<void(bool active)>;
    void setActivationHandler(ActivationHandler handler) { activationHandler_ = std::move(handler); }

    GLWindow* window() const { return window_.get(); }

private:
    // Posts the event to the event delegate on the engine thread; dropped before the first frame
    // (there is no engine thread yet) and without a delegate.
    void forward(const Event& event);

    std::unique_ptr<GLWindow> window_;
    std::recursive_mutex contextLock_;
    CCEventDispatcher* eventDelegate_ = nullptr;
    bool closeRequested_ = false;
    bool acceptsMouseMovedEvents_ = true;
    ActivationHandler activationHandler_;
};
