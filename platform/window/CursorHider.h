#pragma once

// Hiding the mouse pointer while the player uses keys or a controller, until the mouse moves
// again. The hook in effect is SDL's (SDL_ShowCursor) unless a test has set its own; GLWindow
// tells it of every mouse motion over its window. Main thread only.
class CursorHider {
public:
    virtual ~CursorHider() = default;

    // Hides the pointer until the next mouse motion.
    virtual void hideUntilMouseMoves() = 0;
    // The mouse moved: a pointer hidden by hideUntilMouseMoves shows again.
    virtual void mouseMoved() = 0;

    static CursorHider& current();
    // Makes `hook` (not owned) the one in effect; null goes back to SDL's.
    static void setCurrent(CursorHider* hook);
};
