#include "platform/foundation/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(GeometryTest, ReadsWritesMeasuresAndIntersectsRects) {
    // A lone sign starts nothing; words and hex are not numbers.
    const std::pair<const char*, CGPoint> points[] = {
        {"{ 1.5 , -2 }", CGPointMake(1.5, -2)}, {"garbage", CGPointZero}, {"{7}", CGPointMake(7, 0)}, {"{1, 2, 3}", CGPointMake(1, 2)},
        {"{+.5,1e2}", CGPointMake(0.5, 100)}, {"{-x, 6.}", CGPointMake(6, 0)}, {"{inf, nan, 0x10}", CGPointMake(0, 10)},
    };
    for (const auto& [text, point] : points) EXPECT_EQ(CGPointFromString(text), point) << text;
    EXPECT_TRUE(CGPointFromString("{1e999, 2}").x == HUGE_VAL && CGRectFromString("{{-1.25, 2}, {30}}") == CGRectMake(-1.25, 2, 30, 0));
    EXPECT_EQ(NSStringFromCGPoint(CGPointMake(1e20, 1.0 / 3)), "{1e+20, 0.333333}");  // "%g": six digits
    for (const CGRect rect : {CGRectMake(1, 2, 3, 4), CGRectMake(-0.5, 1e-3, 1e6, -7)}) EXPECT_EQ(CGRectFromString(NSStringFromCGRect(rect)), rect);
    const CGRect flipped = CGRectMake(10, 20, -4, -6), rect = CGRectMake(0, 0, 10, 5);  // flipped covers 6..10, 14..20
    EXPECT_TRUE(CGRectStandardize(flipped) == CGRectMake(6, 14, 4, 6) && CGRectGetMinX(flipped) == 6 && CGRectGetMaxY(flipped) == 20 &&
                CGRectGetMidY(flipped) == 17);
    // Rects hold points from their minimum edges only, and an empty one holds nothing.
    EXPECT_TRUE(CGRectContainsPoint(rect, CGPointMake(0, 0)) && CGRectContainsPoint(CGRectMake(10, 5, -10, -5), CGPointMake(0, 0)));
    EXPECT_FALSE(CGRectContainsPoint(rect, CGPointMake(10, 2)) || CGRectContainsPoint(rect, CGPointMake(2, 5)) ||
                 CGRectContainsPoint(CGRectMake(3, 3, 0, 0), CGPointMake(3, 3)));
    EXPECT_TRUE(CGRectIntersectsRect(rect, CGRectMake(10, 0, 5, 5)) && CGRectIntersectsRect(rect, CGRectMake(20, 10, -10, -10)));  // touching
    EXPECT_FALSE(CGRectIntersectsRect(rect, CGRectMake(10.5, 0, 5, 5)));
}
