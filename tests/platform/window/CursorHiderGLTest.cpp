#include "platform/window/CursorHider.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/window/GLWindow.h"
#include "tests/support/TestWindow.h"

// SDL's own hook: the pointer goes away when asked and comes back at the first motion only.
TEST(CursorHider, SDLHidesThePointerUntilTheMouseMoves) {
    const auto window = windowOrStop(GLWindow::create("CursorHider", {200, 100}));
    CursorHider& hider = CursorHider::current();
    hider.mouseMoved();  // shows nothing it did not hide
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    hider.hideUntilMouseMoves();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    hider.mouseMoved();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    SDL_ShowCursor(SDL_DISABLE);  // hidden by someone else: a motion leaves it so
    hider.mouseMoved();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    SDL_ShowCursor(SDL_ENABLE);
}
