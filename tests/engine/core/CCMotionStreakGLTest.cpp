// The motion streak: its point bookkeeping (capacity, spacing, ageing) and the ribbon that the
// real director draws behind a moving head, read back from the frame. Every frame lasts exactly
// FixedClockDirector::kFrameSeconds.

#include "engine/core/CCMotionStreak.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "platform/foundation/Log.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kBlack{0, 0, 0};
constexpr ccColor3B kYellow{255, 255, 0};

class CCMotionStreakGLTest : public GLSceneTest {
protected:
    // An opaque white 2 x 2 texture, so that the ribbon shows its vertex colours.
    static RefPtr<CCTexture2D> whiteTexture() {
        const std::vector<uint8_t> pixels(2 * 2 * 4, 255);
        auto texture = makeRef<CCTexture2D>();
        EXPECT_TRUE(texture->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, 2, 2, CGSizeMake(2, 2)));
        return texture;
    }

    // Puts the head at each point in turn, one frame each.
    void moveThrough(CCMotionStreak* streak, const std::vector<CGPoint>& path) {
        for (CGPoint p : path) {
            streak->setPosition(p);
            runFrames(1);
        }
    }

    static std::vector<CGPoint> line(CGPoint from, CGPoint step, int count) {
        std::vector<CGPoint> points;
        for (int i = 0; i < count; ++i) points.push_back(CGPointMake(from.x + i * step.x, from.y + i * step.y));
        return points;
    }
};

TEST_F(CCMotionStreakGLTest, RefusesAFadeTimeThatIsNotPositiveAndFiniteOrAMissingImage) {
    auto texture = whiteTexture();
    LogCapture capture;
    for (const float fade : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
        EXPECT_EQ(CCMotionStreak::streakWithFade(fade, 1, 10, kYellow, texture), nullptr) << fade;
    }
    EXPECT_TRUE(capture.contains("fade time"));
    EXPECT_EQ(CCMotionStreak::streakWithFade(1, 1, 10, kYellow, "no such image.png"), nullptr);
    EXPECT_TRUE(capture.contains("no such image.png"));
}

TEST_F(CCMotionStreakGLTest, AddsPointsAsTheHeadMovesAndDropsThemAsTheyFade) {
    // Each frame takes 1/32 of a point's life.
    auto streak = CCMotionStreak::streakWithFade(0.5f, 2, 10, kYellow, whiteTexture());
    scene_->addChild(streak.get());
    // Nothing happens before the head is set; setting it leaves the node where it is.
    runFrames(2);
    EXPECT_EQ(streak->nuPoints(), 0u);
    streak->setPosition({100, 100});
    EXPECT_EQ(streak->position(), CGPointZero);

    // A head that stays still adds one point, which fades out after the fade time; the head is
    // then added afresh. One point draws nothing.
    moveThrough(streak.get(), std::vector<CGPoint>(5, CGPointMake(100, 100)));
    EXPECT_EQ(streak->nuPoints(), 1u);
    const uint64_t callsBefore = ccDrawCallCounter;
    runFrames(30);  // the point's 32nd frame of ageing ends it, and the head comes back
    EXPECT_EQ(streak->nuPoints(), 1u);
    EXPECT_EQ(streak->pointState()[0], 1 - 2 / 32.0f);
    EXPECT_EQ(ccDrawCallCounter, callsBefore);

    // One unit per frame with a least segment of 2: a point every second frame.
    streak->reset();
    moveThrough(streak.get(), line({0, 50}, {1, 0}, 9));
    ASSERT_EQ(streak->nuPoints(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(streak->pointVertexes()[i], CGPointMake(2 * i, 50));

    // A fast head fills the capacity exactly: 32 points of 0.5 s at 64 frames a second.
    moveThrough(streak.get(), line({0, 100}, {5, 0}, 40));
    EXPECT_EQ(streak->nuPoints(), 32u);
    EXPECT_EQ(streak->pointVertexes()[0], CGPointMake(40, 100));

    // Steady frames of a moving streak allocate nothing.
    const std::vector<CGPoint> path = line({200, 100}, {3, 2}, 30);
    AllocationCounter counter;
    moveThrough(streak.get(), path);
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(CCMotionStreakGLTest, APathOfCoincidentPointsStaysFinite) {
    // A least segment of 0 lets the head pile up points on one spot.
    auto fast = CCMotionStreak::streakWithFade(1, 0, 10, kYellow, whiteTexture());
    auto slow = CCMotionStreak::streakWithFade(1, 0, 10, kYellow, whiteTexture());
    slow->setFastMode(false);
    scene_->addChild(fast.get());
    scene_->addChild(slow.get());
    std::vector<CGPoint> path(4, CGPointMake(50, 50));
    for (CGPoint p : line({50, 50}, {10, 0}, 5)) path.push_back(p);
    path.insert(path.end(), 3, CGPointMake(90, 50));
    for (CGPoint p : path) {
        fast->setPosition(p);
        slow->setPosition(p);
        runFrames(1);
    }
    ASSERT_EQ(fast->nuPoints(), path.size());
    ASSERT_EQ(slow->nuPoints(), path.size());
    for (uint64_t i = 0; i < 2 * path.size(); ++i) {
        for (const CCMotionStreak* streak : {fast.get(), slow.get()}) {
            EXPECT_TRUE(std::isfinite(streak->vertices()[i].x) && std::isfinite(streak->vertices()[i].y)) << i;
        }
    }
    // Rebuilt whole, even the points piled up at the start get the full width across the line;
    // built point by point, points that never moved have none.
    EXPECT_EQ(slow->vertices()[0], (ccVertex2F{50, 55}));
    EXPECT_EQ(fast->vertices()[0], (ccVertex2F{50, 50}));
    EXPECT_NEAR(fast->vertices()[2 * 10].y, 45, 1e-3);  // a point piled up at the end
}

TEST_F(CCMotionStreakGLTest, DrawsAFadingRibbonAlongThePath) {
    auto streak = CCMotionStreak::streakWithFade(1, 1, 10, kYellow, whiteTexture());
    scene_->addChild(streak.get());
    const std::vector<CGPoint> path = line({20, 120}, {10, 0}, 20);
    const uint64_t callsBefore = ccDrawCallCounter;
    moveThrough(streak.get(), path);
    EXPECT_EQ(ccDrawCallCounter, callsBefore + 19);  // from the second point on
    ASSERT_EQ(streak->nuPoints(), 20u);

    // Point k was added at frame k and has aged in each of the 19 - k frames since: its alpha,
    // over black, is the brightness of yellow there. Sampled just before each point.
    for (int k = 1; k < 20; k += 3) {
        const float life = 1 - (19 - k) * FixedClockDirector::kFrameSeconds;  // fade 1 s
        const uint8_t expected = static_cast<uint8_t>(life * 255);
        EXPECT_TRUE(pixelNear(int(path[k].x) - 1, 120, {expected, expected, 0})) << "point " << k;
    }
    EXPECT_TRUE(pixelNear(int(path[19].x) - 1, 124, kYellow));  // the full width at the head
    EXPECT_TRUE(pixelNear(100, 127, kBlack));  // beside the ribbon
    EXPECT_TRUE(pixelNear(220, 120, kBlack));  // ahead of the head

    // Standing still, the ribbon fades: dimmer after a few frames, gone after the fade time.
    const uint8_t before = pixel(int(path[10].x), 120).r;
    runFrames(10);
    EXPECT_LT(pixel(int(path[10].x), 120).r + 30, before);
    runFrames(60);
    EXPECT_LE(streak->nuPoints(), 1u);
    EXPECT_TRUE(pixelNear(int(path[10].x), 120, kBlack));
}

}  // namespace
