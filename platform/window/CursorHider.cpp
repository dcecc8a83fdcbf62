#include "platform/window/CursorHider.h"

#include <SDL.h>

namespace {

class SDLCursorHider : public CursorHider {
public:
    void hideUntilMouseMoves() override { hidden_ = SDL_ShowCursor(SDL_DISABLE) >= 0; }
    void mouseMoved() override {
        if (!hidden_) return;
        SDL_ShowCursor(SDL_ENABLE);
        hidden_ = false;
    }

private:
    bool hidden_ = false;  // hidden by us, to be shown at the next motion
};

SDLCursorHider sdlCursorHider;
CursorHider* currentHook = nullptr;

}  // namespace

CursorHider& CursorHider::current() { return currentHook ? *currentHook : sdlCursorHider; }

void CursorHider::setCurrent(CursorHider* hook) { currentHook = hook; }
