#include "game/objects/VRope.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/objects/VPoint.h"
#include "game/objects/VStick.h"
#include "platform/foundation/Log.h"

using game::VPoint;
using game::VRope;
using game::VStick;

namespace {

float stickLength(const VStick& stick) {
    return std::hypot(stick.getPointB()->x() - stick.getPointA()->x(), stick.getPointB()->y() - stick.getPointA()->y());
}

TEST(VRopeTest, GapsGiveAPointPerTwentyPixelsLaidOverNinetyPercent) {
    struct Case {
        float gap;
        int points;
        float stick;
    } cases[] = {{200, 10, 20}, {40, 2, 36}, {59.9f, 2, 53.91f}, {1000, 50, 0.9f * 1000 / 49}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gap);
        RefPtr<VRope> rope = VRope::ropeWithPoints(CGPointMake(10, 20), CGPointMake(10 + c.gap, 20), nullptr);
        ASSERT_TRUE(rope);
        EXPECT_EQ(rope->numPoints(), c.points);
        ASSERT_EQ(rope->sticks().size(), static_cast<size_t>(c.points - 1));
        for (const VStick& stick : rope->sticks()) EXPECT_NEAR(stick.hypotenuse(), c.stick, 1e-3);
        EXPECT_FLOAT_EQ(rope->points().front().x(), 10);
        EXPECT_NEAR(rope->points().back().x(), 10 + 0.9f * c.gap, 1e-3);
        EXPECT_TRUE(rope->ropeSprites().empty());
    }
}

TEST(VRopeTest, GapsUnderFortyPixelsAndBrokenEndsAreRefused) {
    const CGPoint refused[][2] = {{{0, 0}, {39.9, 0}}, {{5, 5}, {5, 5}}, {{0, 0}, {NAN, 0}}, {{0, 0}, {INFINITY, 1}}};
    for (const auto& ends : refused) {
        LogCapture log;
        EXPECT_FALSE(VRope::ropeWithPoints(ends[0], ends[1], nullptr));
        EXPECT_EQ(log.lines().size(), 1u);
    }
}

TEST(VRopeTest, EndsArePinnedAtEveryStepAndTheMiddleSagsTowardsThePlanet) {
    RefPtr<VRope> rope = VRope::ropeWithPoints(CGPointMake(-100, 1000), CGPointMake(100, 1000), nullptr);
    ASSERT_TRUE(rope);
    for (int i = 0; i < 120; ++i) rope->updateWithPreIntegratedOriginGravity(1 / 60.0f);
    const VPoint& middle = rope->points()[rope->points().size() / 2];
    EXPECT_LT(middle.y(), 999.0f) << "pulled towards the origin";
    EXPECT_NEAR(middle.x(), 0, 15);
    for (const VStick& stick : rope->sticks()) EXPECT_NEAR(stickLength(stick), stick.hypotenuse(), 2.0f);

}

TEST(VRopeTest, EndsArePinnedAtTheStartOfEveryStepThenRelaxed) {
    // Two points 40 pixels apart on a stick of 36: pinned, then pulled 2 pixels in at each end.
    RefPtr<VRope> rope = VRope::ropeWithPoints(CGPointMake(0, 0), CGPointMake(40, 0), nullptr);
    ASSERT_TRUE(rope);
    const float starts[] = {0, 0, 100, -60};
    for (float start : starts) {
        rope->updateWithPoints(CGPointMake(start, 0), CGPointMake(start + 40, 0), 0, 0);
        EXPECT_FLOAT_EQ(rope->points().front().x(), start + 2);
        EXPECT_FLOAT_EQ(rope->points().back().x(), start + 38);
    }
}

TEST(VRopeTest, AStraightRopeWithoutPullStaysStraightAndResetLaysItOut) {
    RefPtr<VRope> rope = VRope::ropeWithPoints(CGPointMake(0, 0), CGPointMake(0, 100), nullptr);
    ASSERT_TRUE(rope);
    for (int i = 0; i < 60; ++i) rope->updateWithPoints(CGPointMake(0, 0), CGPointMake(0, 100), 0, 0);
    for (const VPoint& point : rope->points()) EXPECT_NEAR(point.x(), 0, 1e-4);
    rope->resetWithPoints(CGPointMake(0, 0), CGPointMake(100, 0));
    EXPECT_NEAR(rope->points().back().x(), 90, 1e-3);
    EXPECT_NEAR(rope->points().back().y(), 0, 1e-3);
}

TEST(VRopeTest, SticksWhoseEndsMeetAreNotContracted) {
    VPoint a, b;
    a.setPos(0, 0);
    b.setPos(10, 0);
    VStick stick(&a, &b);
    b.setPos(0, 0);
    stick.contract();
    EXPECT_TRUE(std::isfinite(a.x()) && std::isfinite(b.x()));
    EXPECT_EQ(a.x(), 0);
    b.setPos(20, 0);
    stick.contract();
    EXPECT_FLOAT_EQ(a.x(), 5);
    EXPECT_FLOAT_EQ(b.x(), 15);
}

TEST(VPointTest, VerletStepCarriesTheLastDisplacementAndGravityPulls) {
    VPoint point;
    point.setPos(1, 1);
    point.setX(3);
    point.update();
    EXPECT_FLOAT_EQ(point.x(), 5);
    point.applyGravity(0.5f, 2, -4);
    EXPECT_FLOAT_EQ(point.x(), 4);
    EXPECT_FLOAT_EQ(point.y(), 3);
    point.applyGravity(1.0f);  // the shared (0, 9.8)
    EXPECT_FLOAT_EQ(point.y(), 3 - 9.8f);
}

}  // namespace
