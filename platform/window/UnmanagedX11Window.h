#pragma once

struct SDL_Rect;
struct SDL_Window;

// A window on an X server that no window manager runs (a kiosk, a bare `startx` session). There
// nothing acts on a window's request to be full screen, although SDL reports it done and gives the
// window the screen's size; but nothing stands between the program and the server either, so the
// program sizes and places such a window itself.
//
// Xlib's functions are taken from the libX11 that SDL's X11 driver has loaded, not linked into the
// program (platform/foundation/SharedLibrary.h says why). Call these on the main thread: they use
// SDL's connection to the server.

// True when `window` is on an X server where no window manager runs: none announces itself on the
// root window (_NET_SUPPORTING_WM_CHECK, as every current one does), or the one announced is gone.
// False under Wayland, with a window manager, or when Xlib's functions cannot be had (logged once).
bool isUnmanagedX11Window(SDL_Window* window);

// Moves and resizes the X window of `window` to `frame` (pixels, in the screen from its top-left
// corner) and waits until the server has done it. For an unmanaged window only: a window manager
// would take this as a wish and answer it as it likes.
void placeUnmanagedX11Window(SDL_Window* window, const SDL_Rect& frame);
