#include "platform/foundation/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(GeometryTest, ReadsGeometryStringsLeniently) {
    EXPECT_EQ(CGPointFromString("{ 1.5 , -2 }"), CGPointMake(1.5, -2));
    EXPECT_EQ(CGPointFromString("garbage"), CGPointZero);
    EXPECT_EQ(CGPointFromString("{7}"), CGPointMake(7, 0));                // missing numbers read 0
    EXPECT_EQ(CGPointFromString("{1, 2, 3}"), CGPointMake(1, 2));          // extra text is ignored
    EXPECT_EQ(CGPointFromString("{+.5,1e2}"), CGPointMake(0.5, 100));
    EXPECT_EQ(CGPointFromString("{-x, 6.}"), CGPointMake(6, 0));           // a lone sign starts nothing
    EXPECT_EQ(CGPointFromString("{inf, nan, 0x10}"), CGPointMake(0, 10));  // words and hex are not numbers
    EXPECT_EQ(CGPointFromString("{1e999, 2}").x, HUGE_VAL);
    EXPECT_EQ(CGRectFromString("{{-1.25, 2}, {30}}"), CGRectMake(-1.25, 2, 30, 0));
    EXPECT_EQ(NSRectFromString("{{1,2},{3,4}}"), CGRectMake(1, 2, 3, 4));
}

TEST(GeometryTest, WritesGeometryStringsThatReadBack) {
    EXPECT_EQ(NSStringFromCGPoint(CGPointMake(1.5, -2)), "{1.5, -2}");
    EXPECT_EQ(NSStringFromCGRect(CGRectMake(1, 2, 3, 4)), "{{1, 2}, {3, 4}}");
    EXPECT_EQ(NSStringFromCGPoint(CGPointMake(1e20, 1.0 / 3)), "{1e+20, 0.333333}");  // "%g": six digits

    for (const CGRect rect : {CGRectMake(1, 2, 3, 4), CGRectMake(-0.5, 1e-3, 1e6, -7), CGRectZero}) {
        EXPECT_EQ(CGRectFromString(NSStringFromCGRect(rect)), rect) << NSStringFromCGRect(rect);
        EXPECT_EQ(CGPointFromString(NSStringFromCGPoint(rect.origin)), rect.origin);
        EXPECT_EQ(CGSizeFromString(NSStringFromCGSize(rect.size)), rect.size);
    }
}

TEST(GeometryTest, MeasuresStandardisedRects) {
    const CGRect flipped = CGRectMake(10, 20, -4, -6);  // covers x 6..10, y 14..20
    EXPECT_EQ(CGRectStandardize(flipped), CGRectMake(6, 14, 4, 6));
    EXPECT_EQ(CGRectGetMinX(flipped), 6);
    EXPECT_EQ(CGRectGetMaxY(flipped), 20);
    EXPECT_EQ(CGRectGetMidY(flipped), 17);
    EXPECT_TRUE(CGRectEqualToRect(flipped, CGRectMake(6, 14, 4, 6)));
}

TEST(GeometryTest, ContainsPointsFromMinimumEdgesOnly) {
    const CGRect rect = CGRectMake(0, 0, 10, 5);
    EXPECT_TRUE(CGRectContainsPoint(rect, CGPointMake(0, 0)));
    EXPECT_FALSE(CGRectContainsPoint(rect, CGPointMake(10, 2)));
    EXPECT_FALSE(CGRectContainsPoint(rect, CGPointMake(2, 5)));
    EXPECT_TRUE(CGRectContainsPoint(CGRectMake(10, 5, -10, -5), CGPointMake(0, 0)));
    EXPECT_FALSE(CGRectContainsPoint(CGRectMake(3, 3, 0, 0), CGPointMake(3, 3)));  // empty holds nothing
}

TEST(GeometryTest, IntersectsOverlappingAndTouchingRects) {
    const CGRect rect = CGRectMake(0, 0, 10, 10);
    EXPECT_TRUE(CGRectIntersectsRect(rect, CGRectMake(2, 2, 1, 1)));        // inside
    EXPECT_TRUE(CGRectIntersectsRect(rect, CGRectMake(10, 0, 5, 5)));       // edges touch
    EXPECT_TRUE(CGRectIntersectsRect(rect, CGRectMake(20, 20, -10, -10)));  // touches once standardised
    EXPECT_FALSE(CGRectIntersectsRect(rect, CGRectMake(10.5, 0, 5, 5)));
}
