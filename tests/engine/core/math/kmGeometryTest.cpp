#include <gtest/gtest.h>

#include "engine/core/math/kmAABB.h"
#include "engine/core/math/kmPlane.h"
#include "engine/core/math/kmRay2.h"
#include "engine/core/math/kmVec3.h"

namespace {

TEST(kmGeometryTest, PlanesClassifyAndMeasurePoints) {
    // Counter-clockwise seen from +z: the normal points to +z; the plane sits at z = 3.
    const kmVec3 p1 = {0, 0, 3}, p2 = {2, 0, 3}, p3 = {0, 5, 3}, high = {1, 1, 10};
    kmPlane plane;
    kmPlaneFromPoints(&plane, &p1, &p2, &p3);
    EXPECT_FLOAT_EQ(kmPlaneDotCoord(&plane, &high), 7);
    const kmVec3 onIt = {5, 5, 3.0005f}, above = {1, 2, 3.002f}, below = {1, 2, 2.998f};
    EXPECT_EQ(kmPlaneClassifyPoint(&plane, &onIt), kmPointOnPlane);
    EXPECT_EQ(kmPlaneClassifyPoint(&plane, &above), kmPointInFrontOfPlane);
    EXPECT_EQ(kmPlaneClassifyPoint(&plane, &below), kmPointBehindPlane);

    const kmPlane scaled = {0, 6, 8, -20};
    kmPlane normalized;
    kmPlaneNormalize(&normalized, &scaled);
    EXPECT_FLOAT_EQ(normalized.d, -2);

    const kmAABB box = {{-1, -2, -3}, {1, 2, 3}};
    const kmVec3 corner = {1, -2, 3}, outside = {0, 2.001f, 0};
    EXPECT_TRUE(kmAABBContainsPoint(&corner, &box));
    EXPECT_FALSE(kmAABBContainsPoint(&outside, &box));
}

TEST(kmGeometryTest, RaysHitSegmentsWithinTheAllowance) {
    kmRay2 ray;
    kmRay2Fill(&ray, 0, 0, 10, 0);
    // Each end may overshoot by 1/64; parallel segments miss.
    const struct {
        kmVec2 p1, p2;
        bool hit;
    } segments[] = {
        {{0, 1}, {10, 1}, false},        {{5, 0.01f}, {5, 3}, true},  {{5, 0.02f}, {5, 3}, false},
        {{10.01f, -1}, {10.01f, 1}, true}, {{11, -1}, {11, 1}, false},
    };
    for (const auto& segment : segments) {
        kmVec2 hit = {-7, -7};
        EXPECT_EQ(kmRay2IntersectSegment(&ray, &segment.p1, &segment.p2, &hit), segment.hit) << segment.p1.x;
        EXPECT_FLOAT_EQ(hit.x, segment.hit ? segment.p1.x : -7) << segment.p1.x;
    }

    // The ray enters the triangle through p3-p1 at x = 2, whichever corner the list starts from;
    // edge (p3, p1) runs (4, -4), so turned counter-clockwise its normal is (4, 4) / |(4, 4)|.
    const kmVec2 p1 = {4, -2}, p2 = {8, 2}, p3 = {0, 2};
    kmVec2 hit, normal;
    ASSERT_TRUE(kmRay2IntersectTriangle(&ray, &p1, &p2, &p3, &hit, &normal));
    EXPECT_FLOAT_EQ(hit.x, 2);
    EXPECT_FLOAT_EQ(normal.x, 0.70710678f);
    EXPECT_FLOAT_EQ(normal.y, 0.70710678f);
    EXPECT_TRUE(kmRay2IntersectTriangle(&ray, &p3, &p1, &p2, &hit, nullptr));
    EXPECT_FLOAT_EQ(hit.x, 2);
}

}  // namespace
