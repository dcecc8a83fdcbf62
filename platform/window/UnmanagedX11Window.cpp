#include "platform/window/UnmanagedX11Window.h"

#include <SDL.h>
#include <SDL_syswm.h>  // includes Xlib's header, for its types and macros only

#include <memory>

#include "platform/foundation/Log.h"
#include "platform/foundation/SharedLibrary.h"

namespace {

struct XlibFunctions {
    decltype(&::XFree) XFree = nullptr;
    decltype(&::XGetWindowAttributes) XGetWindowAttributes = nullptr;
    decltype(&::XGetWindowProperty) XGetWindowProperty = nullptr;
    decltype(&::XInternAtom) XInternAtom = nullptr;
    decltype(&::XMoveResizeWindow) XMoveResizeWindow = nullptr;
    decltype(&::XSetErrorHandler) XSetErrorHandler = nullptr;
    decltype(&::XSync) XSync = nullptr;
};

// The table, loaded on the first call; null, after one logged line, when libX11 cannot be opened or
// lacks a function.
const XlibFunctions* xlib() {
    static const std::unique_ptr<const XlibFunctions> functions = []() -> std::unique_ptr<const XlibFunctions> {
        auto table = std::make_unique<XlibFunctions>();
        SharedLibrary library("libX11.so.6");
        library.resolve("XFree", table->XFree);
        library.resolve("XGetWindowAttributes", table->XGetWindowAttributes);
        library.resolve("XGetWindowProperty", table->XGetWindowProperty);
        library.resolve("XInternAtom", table->XInternAtom);
        library.resolve("XMoveResizeWindow", table->XMoveResizeWindow);
        library.resolve("XSetErrorHandler", table->XSetErrorHandler);
        library.resolve("XSync", table->XSync);
        if (library.loaded()) return table;
        logLine("without a window manager the window cannot be made full screen: %s", library.failure().c_str());
        return nullptr;
    }();
    return functions.get();
}

// SDL's connection to the X server and the X window of `window`, or nothing when `window` is not an
// X11 window.
struct X11Window {
    Display* display = nullptr;
    Window window = 0;
};

X11Window x11Window(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
    return {info.info.x11.display, info.info.x11.window};
}

// Set by the error handler below while a property of a window that may be gone is read.
bool windowPropertyFailed = false;

int noteWindowPropertyFailure(Display*, XErrorEvent*) {
    windowPropertyFailed = true;
    return 0;
}

// The window that `owner`'s property of that name (one window id) names; 0 when it has none, or
// when `owner` no longer exists.
Window windowProperty(const XlibFunctions& x, Display* display, Window owner, Atom property) {
    // Errors of earlier requests go to the handler that was meant for them; only this read's to ours.
    x.XSync(display, False);
    windowPropertyFailed = false;
    const XErrorHandler previous = x.XSetErrorHandler(noteWindowPropertyFailure);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* value = nullptr;
    const int status = x.XGetWindowProperty(display, owner, property, 0, 1, False, XA_WINDOW, &type, &format,
                                            &count, &remaining, &value);
    x.XSync(display, False);
    x.XSetErrorHandler(previous);
    Window named = 0;
    // Xlib hands a property of format 32 over as an array of long.
    if (status == Success && !windowPropertyFailed && type == XA_WINDOW && format == 32 && count == 1 && value) {
        named = Window(*reinterpret_cast<const long*>(value));
    }
    if (value) x.XFree(value);
    return named;
}

}  // namespace

bool isUnmanagedX11Window(SDL_Window* window) {
    const X11Window x11 = x11Window(window);
    if (!x11.display) return false;
    const XlibFunctions* x = xlib();
    if (!x) return false;
    XWindowAttributes attributes;
    if (!x->XGetWindowAttributes(x11.display, x11.window, &attributes)) return false;
    // A manager that announces itself names a window of its own on the root window and on that window
    // again; a manager that has ended may leave the first behind, naming a window that is gone.
    const Atom check = x->XInternAtom(x11.display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return true;  // no manager has announced itself since the server started
    const Window manager = windowProperty(*x, x11.display, attributes.root, check);
    return manager == 0 || windowProperty(*x, x11.display, manager, check) != manager;
}

void placeUnmanagedX11Window(SDL_Window* window, const SDL_Rect& frame) {
    const X11Window x11 = x11Window(window);
    const XlibFunctions* x = x11.display ? xlib() : nullptr;
    if (!x || frame.w <= 0 || frame.h <= 0) return;
    x->XMoveResizeWindow(x11.display, x11.window, frame.x, frame.y, unsigned(frame.w), unsigned(frame.h));
    x->XSync(x11.display, False);
}
