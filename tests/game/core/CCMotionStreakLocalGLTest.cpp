// The ribbon trail drawn by the real director behind a node moving across the window; every frame
// lasts exactly FixedClockDirector::kFrameSeconds (1/64 s).

#include "game/core/CCMotionStreakLocal.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"

namespace {

class CCMotionStreakLocalGLTest : public GLSceneTest {
protected:
    static RefPtr<CCTexture2D> whiteTexture() {
        const std::vector<uint8_t> pixels(2 * 2 * 4, 255);
        auto texture = makeRef<CCTexture2D>();
        EXPECT_TRUE(texture->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, 2, 2, CGSizeMake(2, 2)));
        return texture;
    }

    // The bee's trail: a fade of 1 s, a point every 8 points moved, 8 points wide, premultiplied
    // drawing.
    RefPtr<CCMotionStreakLocal> addTrail() {
        auto trail = makeRef<CCMotionStreakLocal>();
        EXPECT_TRUE(trail->initWithFade(1, 8, whiteTexture(), 8, 8, {255, 255, 255, 255}));
        trail->setBlendFunc({GL_ONE, GL_ONE_MINUS_SRC_ALPHA});
        scene_->addChild(trail.get());
        return trail;
    }

    // One frame with the node at x, y 120, as its owner would drive it.
    void frameAt(CCMotionStreakLocal* trail, double x) {
        trail->setPosition({x, 120});
        trail->update(FixedClockDirector::kFrameSeconds);
        runFrames(1);
    }
};

TEST_F(CCMotionStreakLocalGLTest, TheTrailFadesBehindAMovingNode) {
    const RefPtr<CCMotionStreakLocal> trail = addTrail();
    // 4 points a frame for 64 frames (one fade time), from x 20 to 272.
    for (int i = 0; i < 64; ++i) frameAt(trail.get(), 20 + 4 * i);

    // Brightest near the node, dimmer the older, gone beyond the fade; nothing off the ribbon.
    const int near = pixel(262, 120).r;
    const int middle = pixel(150, 120).r;
    const int old = pixel(40, 120).r;
    EXPECT_GT(near, 200);
    EXPECT_GT(middle, 90);
    EXPECT_LT(middle, 170);
    EXPECT_LT(old, 40);
    EXPECT_GT(near, middle);
    EXPECT_GT(middle, old);
    EXPECT_TRUE(pixelNear(150, 140, {0, 0, 0}));
    EXPECT_TRUE(pixelNear(300, 120, {0, 0, 0}));  // ahead of the node
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(CCMotionStreakLocalGLTest, AMovingTrailAllocatesNothingOnceItsSegmentsAreRecycled) {
    const RefPtr<CCMotionStreakLocal> trail = addTrail();
    // A point every frame, back and forth across the window: after 3 s finished segments are
    // being reused, and the next second allocates nothing.
    int x = 20;
    int step = 9;
    auto move = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            if (x + step > 300 || x + step < 20) step = -step;
            x += step;
            frameAt(trail.get(), x);
        }
    };
    move(192);
    AllocationCounter counter;
    move(64);
    EXPECT_EQ(counter.count(), 0u);
}

}  // namespace
