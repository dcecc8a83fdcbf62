#include "game/core/CCRibbonFade.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/core/CCMotionStreakLocal.h"
#include "platform/foundation/Log.h"
#include "support/HeadlessDirectorTest.h"

namespace {

constexpr ccColor4B kWhite{255, 255, 255, 255};

class CCRibbonFadeTest : public HeadlessDirectorTest {
protected:
    static RefPtr<CCRibbonFade> ribbon(float width = 8, float length = 8, ccColor4B color = kWhite, float fade = 1) {
        auto made = makeRef<CCRibbonFade>();
        EXPECT_TRUE(made->initWithWidth(width, RefPtr<CCTexture2D>(), length, color, fade));
        return made;
    }
    static RefPtr<CCMotionStreakLocal> streak(float minSeg) {
        auto made = makeRef<CCMotionStreakLocal>();
        EXPECT_TRUE(made->initWithFade(1, minSeg, RefPtr<CCTexture2D>(), 8, 8, kWhite));
        return made;
    }
};

TEST_F(CCRibbonFadeTest, TheNodeMustMoveBeyondTheMinimumSegmentToAddAPoint) {
    const RefPtr<CCMotionStreakLocal> trail = streak(5);
    CCRibbonFadeSegment* segment = trail->ribbon()->segments()[0].get();
    // The first point only starts the ribbon; each later one adds a strip point.
    const std::pair<CGPoint, uint32_t> moves[] = {
        {{5, 0}, 0},      // exactly the threshold from (0, 0): nothing
        {{5.1, 0}, 0},    // beyond it: the first point
        {{10.1, 0}, 0},   // 5 again: nothing
        {{10.2, 0}, 2},   // the previous location and this one
        {{10.2, 5.2}, 3},
        {{10.2, 5.2}, 3},
    };
    for (const auto& [position, points] : moves) {
        trail->setPosition(position);
        trail->update(1.0f / 60);
        EXPECT_EQ(segment->end, points) << position.x << ", " << position.y;
        EXPECT_EQ(trail->ribbon()->position(), CGPointMake(-position.x, -position.y));
    }
    EXPECT_FLOAT_EQ(trail->ribbon()->curTime(), 6.0f / 60);
}

TEST_F(CCRibbonFadeTest, StripPointsStandAcrossTheDirectionOfTravelWithTheTextureRunningAlong) {
    const RefPtr<CCRibbonFade> trail = ribbon(8, 4);
    trail->update(0.25f);
    trail->addPointAt({0, 0}, 8);
    trail->update(0.25f);
    trail->addPointAt({10, 0}, 6);  // moving along +x
    const CCRibbonFadeSegment& segment = *trail->segments()[0];
    ASSERT_EQ(segment.end, 2u);
    // The previous location at the width it had then, stamped one update back.
    const float expected[2][6] = {{0, 4, 0, 0, -4, 0}, {10, 3, 0, 10, -3, 0}};
    for (int point = 0; point < 2; ++point) {
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(segment.verts[point * 6 + i], expected[point][i], 1e-5) << point;
    }
    EXPECT_FLOAT_EQ(segment.creationTime[0], 0.25f);
    EXPECT_FLOAT_EQ(segment.creationTime[1], 0.5f);
    const float coords[8] = {0, 0, 1, 0, 0, 2.5f, 1, 2.5f};  // 10 points at 4 per repeat
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(segment.coords[i], coords[i]) << i;
}

TEST_F(CCRibbonFadeTest, AFullSegmentRollsOverIntoOneStartingWithACopyOfItsLastPoint) {
    const RefPtr<CCRibbonFade> trail = ribbon();
    trail->addPointAt({0, 0}, 8);
    for (int i = 1; i <= 49; ++i) {
        trail->update(0.01f);
        trail->addPointAt({double(i), 0}, 8);
    }
    ASSERT_EQ(trail->segments().size(), 1u);
    const CCRibbonFadeSegment& first = *trail->segments()[0];
    ASSERT_EQ(first.end, 50u);

    trail->update(0.01f);
    trail->addPointAt({50, 0}, 8);
    ASSERT_EQ(trail->segments().size(), 2u);
    const CCRibbonFadeSegment& second = *trail->segments()[1];
    EXPECT_EQ(second.end, 2u);
    EXPECT_EQ(second.creationTime[0], first.creationTime[49]);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(second.verts[i], first.verts[49 * 6 + i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(second.coords[i], first.coords[49 * 4 + i]);
    EXPECT_NEAR(second.verts[6], 50, 1e-5);
}

TEST_F(CCRibbonFadeTest, PointsFadeByAgeAndPremultipliedDrawingScalesTheColour) {
    CCRibbonFadeSegment segment;
    segment.end = 3;
    segment.creationTime[0] = -0.5;  // older than the fade at time 1
    segment.creationTime[1] = 0.5;   // at half its fade
    segment.creationTime[2] = 1;     // new
    struct Case {
        ccColor4B color;
        GLenum src;
        ccColor4B halfAge;  // the point at half age, both vertices
    };
    const Case cases[] = {
        {{10, 20, 30, 200}, GL_SRC_ALPHA, {10, 20, 30, 100}},
        {{255, 255, 255, 255}, GL_ONE, {127, 127, 127, 127}},
        {{200, 100, 0, 255}, GL_ONE, {99, 49, 0, 127}},
    };
    for (const Case& c : cases) {
        segment.begin = 0;
        ASSERT_TRUE(segment.fade(1.0f, 2.0f, c.color, c.src));
        EXPECT_EQ(segment.begin, 0u);  // the oldest at 0.75 of a longer fade
        ASSERT_TRUE(segment.fade(1.0f, 1.0f, c.color, c.src));
        EXPECT_EQ(segment.begin, 1u) << "the oldest has faded out";
        for (int vertex = 0; vertex < 2; ++vertex) {
            const uint8_t* rgba = &segment.colors[8 + vertex * 4];
            EXPECT_EQ((ccColor4B{rgba[0], rgba[1], rgba[2], rgba[3]}), c.halfAge);
        }
        EXPECT_EQ(segment.colors[3], 0);
        EXPECT_EQ(segment.colors[16 + 3], c.color.a);
    }
}

TEST_F(CCRibbonFadeTest, FadedSegmentsAreRecycledOnceFull) {
    const RefPtr<CCRibbonFade> trail = ribbon();
    trail->addPointAt({0, 0}, 8);
    // 200 points, a tenth of a second apart: each fades out after ten more.
    for (int i = 1; i <= 200; ++i) {
        trail->update(0.1f);
        trail->addPointAt({double(i), 0}, 8);
        for (const RefPtr<CCRibbonFadeSegment>& segment : trail->segments()) {
            segment->fade(trail->curTime(), trail->fadeTime(), kWhite, GL_SRC_ALPHA);
            segment->fade(trail->curTime(), trail->fadeTime(), kWhite, GL_SRC_ALPHA);
        }
    }
    // Never more than two segments made: the third and later reuse finished ones.
    EXPECT_LE(trail->segments().size() + trail->deletedSegments().size(), 2u);
}

TEST_F(CCRibbonFadeTest, RefusesAFadeOrTextureLengthThatIsNotPositive) {
    LogCapture log;
    for (const auto& [fade, length] : {std::pair{0.0f, 8.0f}, {-1.0f, 8.0f}, {NAN, 8.0f}, {1.0f, 0.0f}, {1.0f, -2.0f}}) {
        EXPECT_FALSE(makeRef<CCRibbonFade>()->initWithWidth(8, RefPtr<CCTexture2D>(), length, kWhite, fade)) << fade << " " << length;
    }
    const RefPtr<CCRibbonFade> trail = ribbon(8, 8);
    trail->setTextureLength(0);
    EXPECT_EQ(trail->textureLength(), 8);
    EXPECT_TRUE(log.contains("positive"));
}

}  // namespace
