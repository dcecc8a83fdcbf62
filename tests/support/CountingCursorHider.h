#pragma once

#include "platform/window/CursorHider.h"

// While alive, stands in for the pointer hiding and counts what it is asked; `hidden` is whether
// the pointer would be hidden now.
class CountingCursorHider : public CursorHider {
public:
    CountingCursorHider() { CursorHider::setCurrent(this); }
    ~CountingCursorHider() override { CursorHider::setCurrent(nullptr); }

    void hideUntilMouseMoves() override {
        ++hideCalls;
        hidden = true;
    }
    void mouseMoved() override {
        ++motions;
        hidden = false;
    }

    int hideCalls = 0;
    int motions = 0;
    bool hidden = false;
};
