#pragma once

// What the benchmarks that draw frames in a shown window share: the check for a display, the
// director drawing into a window of its own as the game does, and the default of five repetitions.

#include <epoxy/gl.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/window/GLWindow.h"

// Whether a window with a GL context can be opened (printing its renderer), else prints that the
// benchmark `name` is skipped.
inline bool benchDisplayAvailable(const char* name, CGSize size) {
    const std::unique_ptr<GLWindow> probe = GLWindow::create(name, size, true);
    if (!probe) {
        std::printf("%s: skipped, no display or GL context (run it under xvfb-run)\n", name);
        return false;
    }
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    return true;
}

// The command line with "--benchmark_repetitions=5 --benchmark_report_aggregates_only=true" in
// front, so that flags given later override them. The pointers are argv's or string literals.
inline std::vector<char*> withFiveRepetitions(int argc, char** argv) {
    std::vector<char*> args{argv[0], const_cast<char*>("--benchmark_repetitions=5"),
                            const_cast<char*>("--benchmark_report_aggregates_only=true")};
    args.insert(args.end(), argv + 1, argv + argc);
    return args;
}

// The shared director drawing into a shown window of its own with vsync off and the 2D
// projection; on destruction it ends the director (whose scene then lets go of its GL objects
// while the context is there), closes the window and frees the matrix stacks. Nodes that hold GL
// objects must be released before it goes.
class BenchDirector {
public:
    BenchDirector(const char* title, CGSize size) {
        director_ = makeRef<CCDirectorDisplayLink>();
        CCDirector::setSharedDirector(director_);
        view_ = CCGLView::viewWithFrame(CGRectMake(0, 0, size.width, size.height), title);
        if (!view_) return;
        director_->setView(view_);
        view_->lockOpenGLContext();
        view_->setSwapInterval(0);
        view_->unlockOpenGLContext();
        director_->setProjection(CCProjectionKind2D);
    }

    ~BenchDirector() {
        director_->end();
        CCDirector::setSharedDirector(nullptr);
        view_.reset();
        director_.reset();
        kmGLFreeStacks();
    }

    BenchDirector(const BenchDirector&) = delete;
    BenchDirector& operator=(const BenchDirector&) = delete;

    // False when the window could not be opened.
    bool ready() const { return view_ != nullptr; }
    void runWithScene(RefPtr<CCScene> scene) { director_->runWithScene(std::move(scene)); }
    // One frame: clear, visit, buffer swap.
    void drawScene() { director_->drawScene(); }

private:
    RefPtr<CCDirectorDisplayLink> director_;
    RefPtr<CCGLView> view_;
};
