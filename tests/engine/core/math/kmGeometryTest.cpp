#include <gtest/gtest.h>

#include "engine/core/math/kmAABB.h"
#include "engine/core/math/kmPlane.h"
#include "engine/core/math/kmRay2.h"
#include "engine/core/math/kmVec3.h"
#include "engine/core/math/kmVec4.h"

TEST(kmGeometryTest, PlaneClassificationAndConstruction) {
    const kmVec3 origin = {0, 0, 0}, up = {0, 0, 1};
    kmPlane ground;
    kmPlaneFromPointNormal(&ground, &origin, &up);
    const kmVec3 onIt = {5, 5, 0.0005f}, above = {1, 2, 0.002f}, below = {1, 2, -0.002f};
    EXPECT_EQ(kmPlaneClassifyPoint(&ground, &onIt), kmPointOnPlane);
    EXPECT_EQ(kmPlaneClassifyPoint(&ground, &above), kmPointInFrontOfPlane);
    EXPECT_EQ(kmPlaneClassifyPoint(&ground, &below), kmPointBehindPlane);

    // Counter-clockwise seen from +z: the normal points to +z; the plane sits at z = 3.
    const kmVec3 p1 = {0, 0, 3}, p2 = {2, 0, 3}, p3 = {0, 5, 3}, high = {1, 1, 10};
    kmPlane plane;
    kmPlaneFromPoints(&plane, &p1, &p2, &p3);
    EXPECT_FLOAT_EQ(plane.c, 1);
    EXPECT_FLOAT_EQ(plane.d, -3);
    EXPECT_FLOAT_EQ(kmPlaneDotCoord(&plane, &high), 7);
    EXPECT_FLOAT_EQ(kmPlaneDotNormal(&plane, &high), 10);
    const kmVec4 homogeneous = {1, 1, 10, 2};
    EXPECT_FLOAT_EQ(kmPlaneDot(&plane, &homogeneous), 4);

    const kmPlane scaled = {0, 6, 8, -20};
    kmPlane normalized;
    kmPlaneNormalize(&normalized, &scaled);
    EXPECT_FLOAT_EQ(normalized.c, 0.8f);
    EXPECT_FLOAT_EQ(normalized.d, -2);
}

TEST(kmGeometryTest, RayAgainstSegment) {
    kmRay2 ray;
    kmRay2Fill(&ray, 0, 0, 10, 0);
    const kmVec2 below = {5, -1}, aboveEnd = {5, 1};
    kmVec2 hit = {-7, -7};
    ASSERT_TRUE(kmRay2IntersectSegment(&ray, &below, &aboveEnd, &hit));
    EXPECT_FLOAT_EQ(hit.x, 5);
    EXPECT_FLOAT_EQ(hit.y, 0);

    const kmVec2 parallel1 = {0, 1}, parallel2 = {10, 1};
    hit = {-7, -7};
    EXPECT_FALSE(kmRay2IntersectSegment(&ray, &parallel1, &parallel2, &hit));
    EXPECT_EQ(hit.x, -7);

    // The segment ends 0.01 short of the ray: within the 1/64 allowance.
    const kmVec2 nearEnd1 = {5, 0.01f}, nearEnd2 = {5, 3};
    EXPECT_TRUE(kmRay2IntersectSegment(&ray, &nearEnd1, &nearEnd2, &hit));
    const kmVec2 farEnd1 = {5, 0.02f};
    EXPECT_FALSE(kmRay2IntersectSegment(&ray, &farEnd1, &nearEnd2, &hit));
    // The ray's own end bounds the hit too.
    const kmVec2 past1 = {10.01f, -1}, past2 = {10.01f, 1}, beyond1 = {11, -1}, beyond2 = {11, 1};
    EXPECT_TRUE(kmRay2IntersectSegment(&ray, &past1, &past2, &hit));
    EXPECT_FALSE(kmRay2IntersectSegment(&ray, &beyond1, &beyond2, &hit));
}

TEST(kmGeometryTest, RayAgainstTriangleTakesNearestEdge) {
    kmRay2 ray;
    kmRay2Fill(&ray, 0, 0, 10, 0);
    // The ray enters through the edge p3-p1 at x = 2 and leaves through p1-p2 at x = 6.
    const kmVec2 p1 = {4, -2}, p2 = {8, 2}, p3 = {0, 2};
    kmVec2 hit, normal;
    ASSERT_TRUE(kmRay2IntersectTriangle(&ray, &p1, &p2, &p3, &hit, &normal));
    EXPECT_FLOAT_EQ(hit.x, 2);
    EXPECT_FLOAT_EQ(hit.y, 0);
    // Edge (p3, p1) runs (4, -4); turned counter-clockwise it gives (4, 4) / |(4, 4)|.
    EXPECT_FLOAT_EQ(normal.x, 0.70710678f);
    EXPECT_FLOAT_EQ(normal.y, 0.70710678f);
    // The same triangle listed from another corner: the nearer edge is now tried first.
    EXPECT_TRUE(kmRay2IntersectTriangle(&ray, &p3, &p1, &p2, &hit, nullptr));
    EXPECT_FLOAT_EQ(hit.x, 2);

    const kmVec2 q1 = {0, 5}, q2 = {5, 5}, q3 = {0, 9};
    hit = {-7, -7};
    EXPECT_FALSE(kmRay2IntersectTriangle(&ray, &q1, &q2, &q3, &hit, &normal));
    EXPECT_EQ(hit.x, -7);
}

TEST(kmGeometryTest, BoxContainsItsBounds) {
    const kmAABB box = {{-1, -2, -3}, {1, 2, 3}};
    const kmVec3 corner = {1, -2, 3}, inside = {0, 0, 0}, outside = {0, 2.001f, 0};
    EXPECT_TRUE(kmAABBContainsPoint(&corner, &box));
    EXPECT_TRUE(kmAABBContainsPoint(&inside, &box));
    EXPECT_FALSE(kmAABBContainsPoint(&outside, &box));
}
