#include "engine/core/support/ccPointMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSingle = 1e-6;  // tolerance for results computed in single precision

void expectNear(CGPoint actual, CGPoint expected) {
    EXPECT_NEAR(actual.x, expected.x, kSingle);
    EXPECT_NEAR(actual.y, expected.y, kSingle);
}

float width(const std::vector<ccVertex2F>& strip, size_t point) {
    return std::hypot(strip[2 * point].x - strip[2 * point + 1].x, strip[2 * point].y - strip[2 * point + 1].y);
}

// Widens the whole polyline in one call and checks that every vertex is finite.
std::vector<ccVertex2F> widen(const std::vector<CGPoint>& points, float stroke) {
    std::vector<ccVertex2F> vertices(points.size() * 2);
    ccVertexLineToPolygon(points.data(), stroke, vertices.data(), 0, points.size());
    for (const ccVertex2F& v : vertices) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
    return vertices;
}

TEST(ccPointMathTest, PointHelpers) {
    EXPECT_EQ(ccNextPowerOfTwo(0), 0u);
    EXPECT_EQ(ccNextPowerOfTwo((uint64_t{1} << 32) + 1), uint64_t{1} << 33);
    // Bounds in either order.
    EXPECT_EQ(ccClampFloat(-1, 10, 0), 0);
    EXPECT_EQ(ccPointClamp({-5, 30}, {10, 0}, {0, 10}), (CGPoint{0, 10}));
    expectNear(ccPointNormalize({-3, 4}), {-0.6, 0.8});
    EXPECT_NEAR(ccPointToAngle(ccPointForAngle(2.5)), 2.5, kSingle);
    EXPECT_TRUE(ccPointFuzzyEqual({1, 1}, {1.5, 0.5}, 0.5f));  // bounds included
    EXPECT_FALSE(ccPointFuzzyEqual({1, 1}, {1, 0.4}, 0.5f));
    expectNear(ccPointRotateAround({2, 1}, {1, 1}, static_cast<float>(kPi / 2)), {1, 2});

    // Normalised (1, 10) dotted with itself rounds to just above 1: no NaN, and the snap gives 0.
    const struct {
        CGPoint a, b;
        double angle, signedAngle;
    } angles[] = {
        {{1, 0}, {-3, 0}, kPi, kPi},         {{1, 10}, {2, 20}, 0, 0},
        {{0, 1}, {1, 0}, kPi / 2, -kPi / 2}, {{1, 0}, {1, 1e-9}, 0, 0},
    };
    for (const auto& row : angles) {
        SCOPED_TRACE(row.b.x);
        EXPECT_NEAR(ccPointAngle(row.a, row.b), row.angle, kSingle);
        EXPECT_NEAR(ccPointAngleSigned(row.a, row.b), row.signedAngle, kSingle);
    }
}

TEST(ccPointMathTest, LineIntersections) {
    const struct {
        CGPoint a, b, c, d;
        bool lines, segments;
        float s, t;
    } cases[] = {
        {{0, 0}, {2, 0}, {1, -1}, {1, 1}, true, true, 0.5f, 0.5f},
        {{0, 0}, {1, 0}, {2, 0}, {3, 0}, true, true, 0, 0},  // collinear but disjoint still counts
        {{0, 0}, {1, 0}, {0, 1}, {1, 1}, false, false, 0, 0},  // parallel
        {{1, 1}, {1, 1}, {0, 0}, {2, 2}, false, false, 0, 0},  // no length
        {{0, 0}, {1, 0}, {3, -1}, {3, 1}, true, false, 3, 0.5f},  // beyond the first segment
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.c.x);
        float s = -1, t = -1;
        EXPECT_EQ(ccLineIntersectParams(row.a, row.b, row.c, row.d, &s, &t), row.lines);
        EXPECT_EQ(ccSegmentIntersects(row.a, row.b, row.c, row.d), row.segments);
        if (row.lines) {
            EXPECT_FLOAT_EQ(s, row.s);
            EXPECT_FLOAT_EQ(t, row.t);
        }
    }
    expectNear(ccLineIntersectionPoint({0, 0}, {1, 0}, {3, -1}, {3, 1}), {3, 0});
    EXPECT_EQ(ccLineIntersectionPoint({1, 1}, {1, 1}, {0, 0}, {2, 2}), (CGPoint{0, 0}));

    float s = -1;
    EXPECT_TRUE(ccVertexLineIntersect(0, 0, 0, 4, -1, 1, 1, 1, &s));
    EXPECT_NEAR(s, 0.25f, kSingle);
    EXPECT_FALSE(ccVertexLineIntersect(0, 0, 0, 4, 1, 0, 1, 1, &s));
    EXPECT_FALSE(ccVertexLineIntersect(1, 1, 1, 1, 0, 0, 1, 0, &s));  // zero-length AB
    EXPECT_FALSE(ccVertexLineIntersect(0, 0, 1, 0, 2, 2, 2, 2, &s));
}

TEST(ccPointMathTest, LineToPolygonKeepsTheWidthAndNeverMakesNaN) {
    // The middle pair first comes out reversed and the untwisting pass swaps it back.
    EXPECT_EQ(widen({{0, 0}, {10, 0}, {20, 0}}, 2),
              (std::vector<ccVertex2F>{{0, -1}, {0, 1}, {10, -1}, {10, 1}, {20, -1}, {20, 1}}));

    // Sharp and blunt corners, repeated points (first, middle, folded back on itself): every pair
    // is a full stroke wide and no quad of the strip between distinct points is crossed (its
    // sides never meet).
    const std::vector<std::vector<CGPoint>> lines = {
        {{0, 0}, {10, 10}, {20, 0}, {30, 2}, {40, 0}, {41, 30}, {40, 0}},
        {{0, 0}, {10, 0}, {10, 0}, {20, 0}},
        {{0, 0}, {0, 0}, {10, 0}},
        {{0, 0}, {1, 10}, {0, 0}},
    };
    for (size_t line = 0; line < lines.size(); ++line) {
        SCOPED_TRACE(line);
        const std::vector<ccVertex2F> strip = widen(lines[line], 4);
        for (size_t i = 0; i < lines[line].size(); ++i) EXPECT_NEAR(width(strip, i), 4, 1e-4) << i;
        for (size_t j = 1; j < lines[line].size(); ++j) {
            if (lines[line][j - 1] == lines[line][j]) continue;
            const auto at = [&](size_t k) { return CGPoint{strip[k].x, strip[k].y}; };
            EXPECT_FALSE(ccSegmentIntersects(at(2 * j - 2), at(2 * j), at(2 * j - 1), at(2 * j + 1))) << j;
        }
    }
    // A polyline that never moves has no width.
    for (const ccVertex2F& v : widen({{5, 5}, {5, 5}, {5, 5}}, 2)) EXPECT_EQ(v, (ccVertex2F{5, 5}));

    // A new last point on top of the previous one, widened on its own; one point writes nothing.
    const std::vector<CGPoint> trailing{{0, 0}, {10, 0}, {10, 0}};
    std::vector<ccVertex2F> vertices(6, ccVertex2F{7, 7});
    ccVertexLineToPolygon(trailing.data(), 2, vertices.data(), 0, 1);
    EXPECT_EQ(vertices[0], (ccVertex2F{7, 7}));
    ccVertexLineToPolygon(trailing.data(), 2, vertices.data(), 0, 2);
    ccVertexLineToPolygon(trailing.data(), 2, vertices.data(), 2, 1);
    for (const ccVertex2F& v : vertices) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
    EXPECT_NEAR(width(vertices, 2), 2, 1e-5);
}

TEST(ccPointMathTest, AffineTransformRoundTripsThroughTheGLMatrix) {
    const CGAffineTransform transform{0.1, -0.7, 1.3, 2.2, 100.25, -33.3};
    float matrix[16];
    ccAffineToGLMatrix(transform, matrix);
    const float a = 0.1f, b = -0.7f, c = 1.3f, d = 2.2f, tx = 100.25f, ty = -33.3f;
    EXPECT_EQ(std::vector<float>(matrix, matrix + 16),
              (std::vector<float>{a, b, 0, 0, c, d, 0, 0, 0, 0, 1, 0, tx, ty, 0, 1}));
    CGAffineTransform back{};
    ccGLMatrixToAffine(matrix, &back);
    EXPECT_EQ((std::vector<double>{back.a, back.b, back.c, back.d, back.tx, back.ty}),
              (std::vector<double>{a, b, c, d, tx, ty}));  // single precision kept exactly
}

}  // namespace
