#pragma once

// Where the X server has put a window, whatever SDL believes, and whether a window manager runs
// there: read with Xlib over SDL's own connection, after a round trip, so that everything the
// program asked of the server is done.

#include <SDL.h>
#include <SDL_syswm.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <stdexcept>
#include <string_view>

#include "platform/window/GLWindow.h"

struct X11Rect {
    int x = 0, y = 0;  // in the screen from its top-left corner
    int width = 0, height = 0;

    bool operator==(const X11Rect&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const X11Rect& r) {
        return out << r.width << " x " << r.height << " at " << r.x << ", " << r.y;
    }
};

struct X11WindowGeometry {
    X11Rect frame;   // the window's
    X11Rect screen;  // its screen's, the root window's
};

inline SDL_SysWMinfo x11Info(const GLWindow& window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Window* sdl = SDL_GetWindowFromID(window.windowID());
    if (!sdl || !SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) {
        throw std::runtime_error("the window is not on an X server (the tests run on Xvfb)");
    }
    return info;
}

inline X11WindowGeometry x11WindowGeometry(const GLWindow& window) {
    const SDL_SysWMinfo info = x11Info(window);
    Display* display = info.info.x11.display;
    XSync(display, False);
    XWindowAttributes attributes, root;
    XGetWindowAttributes(display, info.info.x11.window, &attributes);
    XGetWindowAttributes(display, attributes.root, &root);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, info.info.x11.window, attributes.root, 0, 0, &x, &y, &child);
    return {{x, y, attributes.width, attributes.height}, {0, 0, root.width, root.height}};
}

// The window that `owner`'s property `check` (_NET_SUPPORTING_WM_CHECK) names; 0 when it has none
// or when `owner` is gone (the server's error is taken here, not by Xlib's handler, which would exit).
inline Window x11SupportingWindow(Display* display, Window owner, Atom check) {
    static bool ownerGone;
    ownerGone = false;
    XSync(display, False);  // earlier requests' errors go to their own handler
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) {
        ownerGone = true;
        return 0;
    });
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, owner, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data);
    XSync(display, False);
    XSetErrorHandler(previous);
    const Window named = !ownerGone && data && format == 32 && count == 1 ? *reinterpret_cast<Window*>(data) : 0;
    if (data) XFree(data);
    return named;
}

// True when a window manager runs on the window's X server (a desktop session), where the tests of
// what the program does without one have nothing to test and must not touch the manager's
// announcement: the root window names a window that names itself. An announcement that an ended
// manager left behind names a window that is gone, and does not count, since nobody but the
// program sizes the window then either. Read here, not with the program's isUnmanagedX11Window:
// those tests test that answer, and must not skip on it.
inline bool x11WindowManagerRuns(const GLWindow& window) {
    Display* display = x11Info(window).info.x11.display;  // throws unless the window is on an X server
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const Window manager = x11SupportingWindow(display, DefaultRootWindow(display), check);
    return manager != 0 && x11SupportingWindow(display, manager, check) == manager;
}

// Under CI=true the tests run on a bare Xvfb, where no window manager ever runs.
inline bool onBareCIDisplay() {
    const char* ci = std::getenv("CI");
    return ci && std::string_view(ci) == "true";
}

// Stops a test of what the program does without a window manager where one runs: skipped on a
// desktop, failed on the bare display of CI=true, where a skip would pass untested.
#define SKIP_WHERE_A_WINDOW_MANAGER_RUNS(window)                                                     \
    do {                                                                                             \
        if (x11WindowManagerRuns(window)) {                                                          \
            if (onBareCIDisplay()) FAIL() << "a window manager runs on the bare display of CI=true"; \
            GTEST_SKIP() << "a window manager runs on this display";                                 \
        }                                                                                            \
    } while (false)

// A window manager's announcement on the root window (_NET_SUPPORTING_WM_CHECK) while the object
// lives: the window that it names names itself while the manager runs, and is gone once it ended.
// For displays where no manager runs: it replaces the root window's announcement and then deletes it.
class AnnouncedWindowManager {
public:
    AnnouncedWindowManager(const GLWindow& window, bool running) : display_(x11Info(window).info.x11.display) {
        manager_ = XCreateSimpleWindow(display_, root_, 0, 0, 1, 1, 0, 0, 0);
        announce(root_);
        if (running) {
            announce(manager_);
        } else {
            XDestroyWindow(display_, manager_);
            manager_ = 0;
        }
        XSync(display_, False);
    }
    ~AnnouncedWindowManager() {
        XDeleteProperty(display_, root_, check_);
        if (manager_) XDestroyWindow(display_, manager_);
        XSync(display_, False);
    }
    AnnouncedWindowManager(const AnnouncedWindowManager&) = delete;
    AnnouncedWindowManager& operator=(const AnnouncedWindowManager&) = delete;

private:
    void announce(Window on) {
        XChangeProperty(display_, on, check_, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&manager_), 1);
    }

    Display* display_;
    Window root_ = DefaultRootWindow(display_);
    Atom check_ = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    Window manager_ = 0;
};

// Polls the window's events at least once, and again until SDL's size of it agrees with the
// server's or a bound of rounds has passed (the caller's assertions then fail); each look at the
// server's side reads its queue first.
template <typename Poll>
void pollUntilTheSizeIsReal(const GLWindow& window, Poll poll) {
    for (int round = 0; round < 20; ++round) {
        poll();
        const X11Rect real = x11WindowGeometry(window).frame;
        if (window.size() == CGSizeMake(real.width, real.height)) return;
    }
}
