#include "engine/core/support/ccPointMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSingle = 1e-6;  // tolerance for results computed in single precision

void expectNear(CGPoint actual, CGPoint expected, double tolerance = kSingle) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

float distance(ccVertex2F a, ccVertex2F b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

CGPoint point(ccVertex2F v) {
    return {v.x, v.y};
}

// Widens the whole polyline in one call and checks that every vertex is finite.
std::vector<ccVertex2F> widen(const std::vector<CGPoint>& points, float stroke) {
    std::vector<ccVertex2F> vertices(points.size() * 2);
    ccVertexLineToPolygon(points.data(), stroke, vertices.data(), 0, points.size());
    for (const ccVertex2F& v : vertices) {
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
    }
    return vertices;
}

}  // namespace

TEST(ccPointMath, NextPowerOfTwo) {
    EXPECT_EQ(ccNextPowerOfTwo(0), 0u);
    EXPECT_EQ(ccNextPowerOfTwo(64), 64u);
    EXPECT_EQ(ccNextPowerOfTwo(65), 128u);
    EXPECT_EQ(ccNextPowerOfTwo((uint64_t{1} << 32) + 1), uint64_t{1} << 33);
}

TEST(ccPointMath, ClampTakesBoundsInEitherOrder) {
    EXPECT_EQ(ccClampFloat(-1, 10, 0), 0);
    EXPECT_EQ(ccPointClamp({5, -3}, {0, 10}, {10, 0}), (CGPoint{5, 0}));
    EXPECT_EQ(ccPointClamp({-5, 30}, {10, 0}, {0, 10}), (CGPoint{0, 10}));
}

TEST(ccPointMath, LengthsAndComponentwiseHelpers) {
    EXPECT_DOUBLE_EQ(ccPointDistance({1, 1}, {4, 5}), 5);
    EXPECT_EQ(ccPointLength({0.1, 0}), static_cast<double>(0.1f));  // single-precision root
    expectNear(ccPointNormalize({-3, 4}), {-0.6, 0.8});
    EXPECT_NEAR(ccPointToAngle(ccPointForAngle(2.5)), 2.5, kSingle);
    expectNear(ccPointLerp({0, 0}, {10, 20}, 0.25f), {2.5, 5});
    EXPECT_TRUE(ccPointFuzzyEqual({1, 1}, {1.5, 0.5}, 0.5f));  // bounds included
    EXPECT_FALSE(ccPointFuzzyEqual({1, 1}, {1, 0.4}, 0.5f));
    EXPECT_EQ(ccPointApply(floorf, {1.7, -1.2}), (CGPoint{1, -2}));
}

TEST(ccPointMath, AnglesBetweenVectorsStayFinite) {
    EXPECT_NEAR(ccPointAngle({1, 0}, {0, 2}), kPi / 2, kSingle);
    EXPECT_NEAR(ccPointAngle({1, 0}, {-3, 0}), kPi, kSingle);
    // Normalised (1, 10) dotted with itself rounds to just above 1: no NaN, and the snap gives 0.
    EXPECT_EQ(ccPointAngle({1, 10}, {1, 10}), 0.0f);
    EXPECT_EQ(ccPointAngle({1, 10}, {2, 20}), 0.0f);

    EXPECT_NEAR(ccPointAngleSigned({0, 1}, {1, 0}), -kPi / 2, kSingle);
    EXPECT_EQ(ccPointAngleSigned({1, 0}, {1, 1e-9}), 0.0f);
    EXPECT_EQ(ccPointAngleSigned({1, 10}, {1, 10}), 0.0f);
}

TEST(ccPointMath, RotateAroundTurnsCounterClockwise) {
    expectNear(ccPointRotateAround({2, 1}, {1, 1}, static_cast<float>(kPi / 2)), {1, 2});
    expectNear(ccPointRotateAround({2, 1}, {1, 1}, static_cast<float>(-kPi)), {0, 1});
}

TEST(ccPointMath, LineParametersAndTheCollinearQuirk) {
    float s = -1, t = -1;
    EXPECT_TRUE(ccLineIntersectParams({0, 0}, {2, 0}, {1, -1}, {1, 1}, &s, &t));
    EXPECT_FLOAT_EQ(s, 0.5f);
    EXPECT_FLOAT_EQ(t, 0.5f);
    expectNear(ccLineIntersectionPoint({0, 0}, {2, 0}, {1, -1}, {1, 1}), {1, 0});

    // Collinear but disjoint segments still count as intersecting.
    EXPECT_TRUE(ccLineIntersectParams({0, 0}, {1, 0}, {2, 0}, {3, 0}, &s, &t));
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(t, 0.0f);
    EXPECT_TRUE(ccSegmentIntersects({0, 0}, {1, 0}, {2, 0}, {3, 0}));

    EXPECT_FALSE(ccLineIntersectParams({0, 0}, {1, 0}, {0, 1}, {1, 1}, &s, &t));  // parallel
    EXPECT_FALSE(ccSegmentIntersects({0, 0}, {1, 0}, {0, 1}, {1, 1}));
    EXPECT_FALSE(ccLineIntersectParams({1, 1}, {1, 1}, {0, 0}, {2, 2}, &s, &t));
    EXPECT_EQ(ccLineIntersectionPoint({1, 1}, {1, 1}, {0, 0}, {2, 2}), (CGPoint{0, 0}));

    // The lines cross beyond the first segment.
    EXPECT_TRUE(ccLineIntersectParams({0, 0}, {1, 0}, {3, -1}, {3, 1}, &s, &t));
    EXPECT_FLOAT_EQ(s, 3);
    EXPECT_FALSE(ccSegmentIntersects({0, 0}, {1, 0}, {3, -1}, {3, 1}));
    expectNear(ccLineIntersectionPoint({0, 0}, {1, 0}, {3, -1}, {3, 1}), {3, 0});

    EXPECT_TRUE(ccVertexLineIntersect(0, 0, 0, 4, -1, 1, 1, 1, &s));
    EXPECT_NEAR(s, 0.25f, kSingle);
    EXPECT_FALSE(ccVertexLineIntersect(0, 0, 0, 4, 1, 0, 1, 1, &s));
    EXPECT_FALSE(ccVertexLineIntersect(1, 1, 1, 1, 0, 0, 1, 0, &s));
    EXPECT_FALSE(ccVertexLineIntersect(0, 0, 1, 0, 2, 2, 2, 2, &s));
}

TEST(ccPointMath, LineToPolygonWidensAndUntwists) {
    // The middle pair first comes out reversed and the untwisting pass swaps it back.
    std::vector<ccVertex2F> line = widen({{0, 0}, {10, 0}, {20, 0}}, 2);
    EXPECT_EQ(line, (std::vector<ccVertex2F>{{0, -1}, {0, 1}, {10, -1}, {10, 1}, {20, -1}, {20, 1}}));

    // A zigzag with sharp and blunt corners: every pair is a full stroke wide and no quad of the
    // strip is crossed (its sides P-R and Q-U never meet).
    const std::vector<CGPoint> zigzag{{0, 0}, {10, 10}, {20, 0}, {30, 2}, {40, 0}, {41, 30}, {40, 0}};
    std::vector<ccVertex2F> strip = widen(zigzag, 4);
    for (size_t i = 0; i < zigzag.size(); ++i) EXPECT_NEAR(distance(strip[2 * i], strip[2 * i + 1]), 4, 1e-4);
    for (size_t j = 1; j < zigzag.size(); ++j) {
        EXPECT_FALSE(ccSegmentIntersects(point(strip[2 * j - 2]), point(strip[2 * j]), point(strip[2 * j - 1]),
                                         point(strip[2 * j + 1])))
            << "quad " << j;
    }

    // One point, or nothing new past one point, writes nothing.
    std::vector<ccVertex2F> untouched(2, ccVertex2F{7, 7});
    const CGPoint single{3, 3};
    ccVertexLineToPolygon(&single, 2, untouched.data(), 0, 1);
    ccVertexLineToPolygon(&single, 2, untouched.data(), 1, 0);
    EXPECT_EQ(untouched, (std::vector<ccVertex2F>(2, ccVertex2F{7, 7})));
}

TEST(ccPointMath, LineToPolygonSurvivesCoincidentAndFoldedPoints) {
    // Repeated points take the previous point's direction and keep the full width.
    std::vector<ccVertex2F> repeated = widen({{0, 0}, {10, 0}, {10, 0}, {20, 0}}, 2);
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(distance(repeated[2 * i], repeated[2 * i + 1]), 2, 1e-5);
    EXPECT_NEAR(repeated[2].x, 10, 1e-5);
    EXPECT_NEAR(std::fabs(repeated[2].y), 1, 1e-5);

    // A repeated first point has no previous direction: it takes the next segment's perpendicular.
    std::vector<ccVertex2F> leading = widen({{0, 0}, {0, 0}, {10, 0}}, 2);
    EXPECT_NEAR(distance(leading[0], leading[1]), 2, 1e-5);
    EXPECT_NEAR(leading[0].x, 0, 1e-5);

    // A new last point on top of the previous one, widened on its own.
    const std::vector<CGPoint> trailing{{0, 0}, {10, 0}, {10, 0}};
    std::vector<ccVertex2F> vertices(6);
    ccVertexLineToPolygon(trailing.data(), 2, vertices.data(), 0, 2);
    ccVertexLineToPolygon(trailing.data(), 2, vertices.data(), 2, 1);
    for (const ccVertex2F& v : vertices) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
    EXPECT_NEAR(distance(vertices[4], vertices[5]), 2, 1e-5);

    // A polyline folding straight back: the corner's cosine rounds above 1.
    std::vector<ccVertex2F> folded = widen({{0, 0}, {1, 10}, {0, 0}}, 2);
    EXPECT_NEAR(distance(folded[2], folded[3]), 2, 1e-5);

    // A polyline that never moves has no width.
    std::vector<ccVertex2F> still = widen({{5, 5}, {5, 5}, {5, 5}}, 2);
    for (const ccVertex2F& v : still) EXPECT_EQ(v, (ccVertex2F{5, 5}));
}

TEST(ccPointMath, AffineTransformRoundTripsThroughTheGLMatrix) {
    const CGAffineTransform transform{0.1, -0.7, 1.3, 2.2, 100.25, -33.3};
    float matrix[16];
    ccAffineToGLMatrix(transform, matrix);
    const std::vector<float> layout(matrix, matrix + 16);
    const float a = 0.1f, b = -0.7f, c = 1.3f, d = 2.2f, tx = 100.25f, ty = -33.3f;
    EXPECT_EQ(layout, (std::vector<float>{a, b, 0, 0, c, d, 0, 0, 0, 0, 1, 0, tx, ty, 0, 1}));

    CGAffineTransform back{};
    ccGLMatrixToAffine(matrix, &back);
    EXPECT_EQ((std::vector<double>{back.a, back.b, back.c, back.d, back.tx, back.ty}),
              (std::vector<double>{a, b, c, d, tx, ty}));  // single precision kept exactly
}
