#pragma once

#include <SDL.h>

#include <stdexcept>
#include <string>

// The window (a CCGLView or a GLWindow) a drawing test asked for, or the test stopped with SDL's
// reason for not making it. A fixture's SetUp must not merely assert here: an assertion returns
// from that one SetUp, and a derived fixture's SetUp would carry on with no window and crash on
// it. GoogleTest takes an exception out of any SetUp or test body as a fatal failure that names
// it, skips the body and still runs TearDown.
template <typename Window>
Window windowOrStop(Window window) {
    if (!window) throw std::runtime_error(std::string("the test's window could not be made: ") + SDL_GetError());
    return window;
}
