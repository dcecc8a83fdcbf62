#include "game/core/CCDonut.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/foundation/Log.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using CCDonutTest = HeadlessDirectorTest;

// The vertex's angle in degrees (-180, 180] and its distance from the origin.
double angleOf(ccVertex2F v) { return std::atan2(v.y, v.x) * 180 / M_PI; }
double radiusOf(ccVertex2F v) { return std::hypot(v.x, v.y); }
// Angles equal up to a whole turn.
::testing::AssertionResult sameAngle(double a, double b) {
    const double difference = std::remainder(a - b, 360.0);
    if (std::fabs(difference) < 1e-3) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " and " << b << " degrees differ";
}

TEST_F(CCDonutTest, ARingOfFourSubdivisionsHasFiveOuterAndFourInnerPointsSpreadClockwiseFromTheTop) {
    const RefPtr<CCDonut> donut = makeRef<CCDonut>();
    ASSERT_TRUE(donut->createDonut(100, 60, 4, 3));
    ASSERT_EQ(donut->vertexCount(), 9);
    const double outer[] = {90, 0, -90, -180, -270};
    const double inner[] = {90, -30, -150, -270};
    for (int k = 0; k < 5; ++k) {
        const ccVertex2F v = donut->vertexData()[2 * k].vertices;
        EXPECT_NEAR(radiusOf(v), 100, 1e-3) << "outer " << k;
        EXPECT_TRUE(sameAngle(angleOf(v), outer[k])) << "outer " << k;
    }
    for (int j = 0; j < 4; ++j) {
        const ccVertex2F v = donut->vertexData()[2 * j + 1].vertices;
        EXPECT_NEAR(radiusOf(v), 60, 1e-3) << "inner " << j;
        EXPECT_TRUE(sameAngle(angleOf(v), inner[j])) << "inner " << j;
    }
    for (int i = 0; i < 9; ++i) EXPECT_EQ(donut->indices()[i], i);
}

TEST_F(CCDonutTest, RefusesSubdivisionsAndRepeatsThatDivideByZeroOrOverflowAndKeepsTheRing) {
    const RefPtr<CCDonut> donut = makeRef<CCDonut>();
    ASSERT_TRUE(donut->createDonut(100, 60, 2, 1));
    ASSERT_EQ(donut->vertexCount(), 5);
    LogCapture log;
    const int32_t refused[] = {1, 0, -3, 32768};
    for (int32_t s : refused) {
        EXPECT_FALSE(donut->createDonut(100, 60, s, 1)) << s;
        EXPECT_EQ(donut->vertexCount(), 5) << s;
        EXPECT_EQ(donut->subDivisions(), 2) << s;
    }
    for (int32_t repeats : {0, -1, 32768, INT32_MAX}) {
        EXPECT_FALSE(donut->createDonut(100, 60, 4, repeats)) << repeats << " repeats";
        EXPECT_EQ(donut->vertexCount(), 5) << repeats << " repeats";
    }
    EXPECT_TRUE(log.contains("1 to 32767 times"));
    EXPECT_FALSE(donut->createWedge(NAN, 60, 4, 1, 0, 90));
    EXPECT_FALSE(donut->createWedge(100, 60, 4, 1, 0, INFINITY));
    EXPECT_TRUE(log.contains("2 to 32767 subdivisions"));
    for (int i = 0; i < donut->vertexCount(); ++i) {
        EXPECT_TRUE(std::isfinite(donut->vertexData()[i].vertices.x));
    }

    // The most that 16-bit indices can number.
    ASSERT_TRUE(donut->createDonut(100, 60, 32767, 1));
    EXPECT_EQ(donut->indices()[65534], 65534);
}

}  // namespace
