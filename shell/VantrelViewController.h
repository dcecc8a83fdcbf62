#pragma once

#include "engine/core/CCGLView.h"

// Holds the view the engine draws into: the window's OpenGL view, which the director may hand
// back after a full-screen switch.
//
// Engine thread only.
class VantrelViewController {
public:
    explicit VantrelViewController(RefPtr<CCGLView> view);

    CCGLView* view() const { return view_.get(); }
    void setView(RefPtr<CCGLView> view) { view_ = std::move(view); }

private:
    RefPtr<CCGLView> view_;
};
