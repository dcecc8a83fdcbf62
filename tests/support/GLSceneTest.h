#pragma once

// A fixture for drawing tests: the real director draws a scene into a real window (through
// CCGLView, with the 2D projection over the window's size) at a fixed frame time, and every frame
// is read back from the back buffer just before the swap, so that tests can sample its pixels.
// A failed sample saves the frame as "<suite>.<test>.png" next to the test program.

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/CCDirector.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "engine/core/ccTypes.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/StringUtils.h"
#include "platform/image/Image.h"
#include "tests/support/TestWindow.h"

// The frame loop's director with a clock that advances exactly kFrameSeconds per reading, so
// that every frame's dt is the same whatever the machine's speed. 1/64 s, exact in binary, so
// that sums of frame times are exact too.
class FixedClockDirector : public CCDirectorDisplayLink {
public:
    static constexpr int32_t kFrameMicroseconds = 15625;
    static constexpr float kFrameSeconds = kFrameMicroseconds / 1e6f;

protected:
    bool readClock(ccTimeval* now) override {
        const int64_t microseconds = readings_++ * kFrameMicroseconds;
        now->seconds = microseconds / 1000000;
        now->microseconds = static_cast<int32_t>(microseconds % 1000000);
        return true;
    }

private:
    int64_t readings_ = 0;
};

// Visited after the running scene: reads the whole drawable into a buffer that is reused from
// frame to frame. Rows are bottom first, RGBA.
class FrameGrabber : public CCNode {
public:
    void draw() override {
        const CGSize size = CCDirector::sharedDirector()->view()->window()->drawableSize();
        width = static_cast<int>(size.width);
        height = static_cast<int>(size.height);
        pixels.resize(static_cast<size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }

    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// A node of class Base that notes how many draw calls its own draw made the last time.
template <class Base>
class CountingDrawCalls : public Base {
public:
    void draw() override {
        const uint64_t before = ccDrawCallCounter;
        Base::draw();
        drawCalls = ccDrawCallCounter - before;
    }

    uint64_t drawCalls = 0;
};

class GLSceneTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;
    // Largest difference per channel between a sampled and an expected colour.
    static constexpr int kTolerance = 3;

    void SetUp() override {
        director_ = makeRef<FixedClockDirector>();
        CCDirector::setSharedDirector(director_);
        view_ = windowOrStop(CCGLView::viewWithFrame(CGRectMake(0, 0, kWidth, kHeight), "GLSceneTest"));
        director_->setView(view_);
        director_->setProjection(CCProjectionKind2D);
        grabber_ = makeRef<FrameGrabber>();
        director_->setNotificationNode(grabber_);
        scene_ = CCScene::node();
        director_->runWithScene(scene_);
        ASSERT_EQ(director_->runFrames(1), 1u);
    }

    void TearDown() override {
        // The nodes let go of their GL objects while the context is still there.
        scene_.reset();
        grabber_.reset();
        director_->end();
        CCDirector::setSharedDirector(nullptr);
        view_.reset();
        director_.reset();
        kmGLFreeStacks();
    }

    void runFrames(uint64_t count) { ASSERT_EQ(director_->runFrames(count), count); }

    // The last frame's pixel at (x, y), window pixels from the bottom-left corner.
    ccColor4B pixel(int x, int y) const {
        const uint8_t* p = &grabber_->pixels[(static_cast<size_t>(y) * grabber_->width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    // The pixel's red, green and blue within kTolerance of the expected ones. A miss saves the
    // frame (once per test).
    ::testing::AssertionResult pixelNear(int x, int y, ccColor3B expected) {
        if (x < 0 || y < 0 || x >= grabber_->width || y >= grabber_->height) {
            return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is outside the frame";
        }
        const ccColor4B got = pixel(x, y);
        const int diffs[3] = {got.r - expected.r, got.g - expected.g, got.b - expected.b};
        for (int diff : diffs) {
            if (std::abs(diff) > kTolerance) {
                const std::string saved = saveFrame();
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is (" << int(got.r) << ", " << int(got.g) << ", "
                       << int(got.b) << "), expected (" << int(expected.r) << ", " << int(expected.g) << ", "
                       << int(expected.b) << "); frame saved to " << saved;
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Writes the last frame as a PNG next to the test program, once per test; returns its path.
    std::string saveFrame() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        char executable[4096] = {};
        const ssize_t length = readlink("/proc/self/exe", executable, sizeof(executable) - 1);
        const std::string folder = length > 0 ? stringByDeletingLastPathComponent(executable) : ".";
        const std::string path =
            stringByAppendingPathComponent(folder, std::string(test->test_suite_name()) + "." + test->name() + ".png");
        if (frameSaved_) return path;
        frameSaved_ = true;
        // Top row first for the picture.
        const size_t rowBytes = static_cast<size_t>(grabber_->width) * 4;
        std::vector<uint8_t> rows(grabber_->pixels.size());
        for (int y = 0; y < grabber_->height; ++y) {
            std::copy_n(&grabber_->pixels[y * rowBytes], rowBytes, &rows[(grabber_->height - 1 - y) * rowBytes]);
        }
        for (size_t i = 3; i < rows.size(); i += 4) rows[i] = 255;
        Image(grabber_->width, grabber_->height, false, std::move(rows)).writePNG(path);
        return path;
    }

    // Resizes the window the way the windowing system would, and runs the frame that takes it.
    void resizeWindow(int width, int height) {
        SDL_Window* window = SDL_GetWindowFromID(view_->window()->windowID());
        SDL_SetWindowSize(window, width, height);
        SDL_Event resized{};
        resized.type = SDL_WINDOWEVENT;
        resized.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        resized.window.windowID = view_->window()->windowID();
        resized.window.data1 = width;
        resized.window.data2 = height;
        ASSERT_EQ(SDL_PushEvent(&resized), 1) << SDL_GetError();
        runFrames(2);
    }

    // The game's own window, 1024 x 768 points, which the play scene and its HUD are laid out for.
    void useGameWindow() {
        resizeWindow(1024, 768);
        director_->setOriginalWinSize({1024, 768});
        director_->setProjection(CCProjectionKind2D);
    }

    RefPtr<FixedClockDirector> director_;
    RefPtr<CCGLView> view_;
    RefPtr<CCScene> scene_;
    RefPtr<FrameGrabber> grabber_;
    bool frameSaved_ = false;
};
