#include "engine/core/support/ccPointMath.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

namespace {

// Corner angles (radians) at which the strip builder changes how it places a point's vertices:
// below 70 degrees along the perpendicular of the bisector, below 170 along the bisector, above
// that across the chord between the neighbours.
constexpr float kSharpCorner = 1.2217305f;
constexpr float kNearlyStraight = 2.9670596f;

CGPoint add(CGPoint a, CGPoint b) { return {a.x + b.x, a.y + b.y}; }
CGPoint sub(CGPoint a, CGPoint b) { return {a.x - b.x, a.y - b.y}; }
CGPoint scale(CGPoint p, double k) { return {p.x * k, p.y * k}; }
CGPoint perp(CGPoint p) { return {-p.y, p.x}; }
double dot(CGPoint a, CGPoint b) { return a.x * b.x + a.y * b.y; }

// acosf of a cosine that rounding may have pushed just outside [-1, 1].
float angleFromCosine(double cosine) {
    return acosf(std::clamp(static_cast<float>(cosine), -1.0f, 1.0f));
}

float snapTinyAngle(float angle) {
    return fabsf(angle) < FLT_EPSILON ? 0.0f : angle;
}

// The unit vector along d; false when d has no length at single precision.
bool unitVector(CGPoint d, CGPoint* unit) {
    if (ccPointLength(d) == 0) return false;
    *unit = ccPointNormalize(d);
    return true;
}

// The unit direction along which point i of the polyline points[0 .. n-1] is widened; false when
// a segment it needs has no length.
bool sideDirection(const CGPoint* points, uint64_t n, uint64_t i, CGPoint* side) {
    const CGPoint p1 = points[i];
    CGPoint a, b;
    if (i == 0) {
        if (!unitVector(sub(p1, points[1]), &a)) return false;
        *side = perp(a);
        return true;
    }
    if (i == n - 1) {
        if (!unitVector(sub(points[n - 2], p1), &b)) return false;
        *side = perp(b);
        return true;
    }
    if (!unitVector(sub(points[i + 1], p1), &a) || !unitVector(sub(points[i - 1], p1), &b)) return false;
    const float angle = angleFromCosine(dot(a, b));
    if (angle < kSharpCorner) {
        *side = perp(ccPointNormalize(scale(add(a, b), 0.5)));
    } else if (angle < kNearlyStraight) {
        *side = ccPointNormalize(scale(add(a, b), 0.5));
    } else {
        *side = perp(ccPointNormalize(sub(points[i + 1], points[i - 1])));
    }
    return true;
}

// The perpendicular of the nearest segment with length, looking forward from point i first;
// (0, 0) when every point coincides.
CGPoint nearestSegmentNormal(const CGPoint* points, uint64_t n, uint64_t i) {
    CGPoint unit;
    for (uint64_t j = i; j + 1 < n; ++j) {
        if (unitVector(sub(points[j + 1], points[j]), &unit)) return perp(unit);
    }
    for (uint64_t j = i; j > 0; --j) {
        if (unitVector(sub(points[j], points[j - 1]), &unit)) return perp(unit);
    }
    return {0, 0};
}

}  // namespace

uint64_t ccNextPowerOfTwo(uint64_t x) {
    x = x - 1;
    x |= x >> 1;
    x |= x >> 2;
    x |= x >> 4;
    x |= x >> 8;
    x |= x >> 16;
    x |= x >> 32;
    return x + 1;
}

double ccPointLength(CGPoint point) {
    return sqrtf(static_cast<float>(point.x * point.x + point.y * point.y));
}

double ccPointDistance(CGPoint a, CGPoint b) {
    return ccPointLength(sub(a, b));
}

CGPoint ccPointNormalize(CGPoint point) {
    return scale(point, 1 / ccPointLength(point));
}

CGPoint ccPointForAngle(double angle) {
    return {cosf(static_cast<float>(angle)), sinf(static_cast<float>(angle))};
}

double ccPointToAngle(CGPoint point) {
    return atan2f(static_cast<float>(point.y), static_cast<float>(point.x));
}

CGPoint ccPointLerp(CGPoint a, CGPoint b, float t) {
    return add(scale(a, 1 - t), scale(b, t));
}

float ccClampFloat(float value, float bound1, float bound2) {
    const float low = std::min(bound1, bound2);
    return low > value ? low : std::min(value, std::max(bound1, bound2));
}

CGPoint ccPointClamp(CGPoint point, CGPoint corner1, CGPoint corner2) {
    return {ccClampFloat(static_cast<float>(point.x), static_cast<float>(corner1.x), static_cast<float>(corner2.x)),
            ccClampFloat(static_cast<float>(point.y), static_cast<float>(corner1.y), static_cast<float>(corner2.y))};
}

CGPoint ccPointFromSize(CGSize size) {
    return {size.width, size.height};
}

CGPoint ccPointApply(float (*function)(float), CGPoint point) {
    return {function(static_cast<float>(point.x)), function(static_cast<float>(point.y))};
}

bool ccPointFuzzyEqual(CGPoint a, CGPoint b, float variance) {
    return a.x - variance <= b.x && b.x <= a.x + variance && a.y - variance <= b.y && b.y <= a.y + variance;
}

CGPoint ccPointMultiplyComponents(CGPoint a, CGPoint b) {
    return {a.x * b.x, a.y * b.y};
}

float ccPointAngleSigned(CGPoint a, CGPoint b) {
    const CGPoint na = ccPointNormalize(a);
    const CGPoint nb = ccPointNormalize(b);
    const double cross = na.x * nb.y - na.y * nb.x;
    return snapTinyAngle(atan2f(static_cast<float>(cross), static_cast<float>(dot(na, nb))));
}

float ccPointAngle(CGPoint a, CGPoint b) {
    return snapTinyAngle(angleFromCosine(dot(ccPointNormalize(a), ccPointNormalize(b))));
}

CGPoint ccPointRotateAround(CGPoint point, CGPoint pivot, float angle) {
    const CGPoint d = sub(point, pivot);
    const float cosine = cosf(angle);
    const float sine = sinf(angle);
    return add(pivot, {d.x * cosine - d.y * sine, d.y * cosine + d.x * sine});
}

bool ccLineIntersectParams(CGPoint A, CGPoint B, CGPoint C, CGPoint D, float* s, float* t) {
    const float ax = static_cast<float>(A.x), ay = static_cast<float>(A.y);
    const float bx = static_cast<float>(B.x), by = static_cast<float>(B.y);
    const float cx = static_cast<float>(C.x), cy = static_cast<float>(C.y);
    const float dx = static_cast<float>(D.x), dy = static_cast<float>(D.y);
    if ((ax == bx && ay == by) || (cx == dx && cy == dy)) return false;

    const float baX = bx - ax, baY = by - ay;
    const float dcX = dx - cx, dcY = dy - cy;
    const float acX = ax - cx, acY = ay - cy;
    const float denom = baX * dcY - baY * dcX;
    *s = dcX * acY - acX * dcY;
    *t = baX * acY - baY * acX;
    if (denom == 0) return *s == 0 || *t == 0;
    *s /= denom;
    *t /= denom;
    return true;
}

bool ccSegmentIntersects(CGPoint A, CGPoint B, CGPoint C, CGPoint D) {
    float s, t;
    return ccLineIntersectParams(A, B, C, D, &s, &t) && s >= 0 && s <= 1 && t >= 0 && t <= 1;
}

CGPoint ccLineIntersectionPoint(CGPoint A, CGPoint B, CGPoint C, CGPoint D) {
    float s, t;
    if (!ccLineIntersectParams(A, B, C, D, &s, &t)) return {0, 0};
    return add(A, scale(sub(B, A), s));
}

bool ccVertexLineIntersect(float Ax, float Ay, float Bx, float By, float Cx, float Cy, float Dx, float Dy,
                           float* s) {
    if ((Ax == Bx && Ay == By) || (Cx == Dx && Cy == Dy)) return false;

    // Origin at A, then turned so that AB runs along the positive x axis.
    Bx -= Ax;
    By -= Ay;
    Cx -= Ax;
    Cy -= Ay;
    Dx -= Ax;
    Dy -= Ay;
    const float distanceAB = sqrtf(Bx * Bx + By * By);
    if (distanceAB == 0) return false;  // A and B closer than single precision can measure
    const float cosine = Bx / distanceAB;
    const float sine = By / distanceAB;
    const float turnedCx = Cx * cosine + Cy * sine;
    const float turnedCy = Cy * cosine - Cx * sine;
    const float turnedDx = Dx * cosine + Dy * sine;
    const float turnedDy = Dy * cosine - Dx * sine;
    if (turnedCy == turnedDy) return false;

    const float crossing = turnedDx + (turnedCx - turnedDx) * turnedDy / (turnedDy - turnedCy);
    *s = crossing / distanceAB;
    return true;
}

void ccVertexLineToPolygon(const CGPoint* points, float stroke, ccVertex2F* vertices, uint64_t offset,
                           uint64_t count) {
    const uint64_t n = offset + count;
    if (n < 2) return;
    const float half = stroke / 2;

    bool havePrevious = false;
    CGPoint previous{};
    for (uint64_t i = offset; i < n; ++i) {
        CGPoint side;
        if (!sideDirection(points, n, i, &side)) {
            side = havePrevious ? previous : nearestSegmentNormal(points, n, i);
        }
        previous = side;
        havePrevious = true;
        const CGPoint p = points[i];
        vertices[2 * i] = {static_cast<float>(p.x + side.x * half), static_cast<float>(p.y + side.y * half)};
        vertices[2 * i + 1] = {static_cast<float>(p.x - side.x * half), static_cast<float>(p.y - side.y * half)};
    }

    // Untwisting: the quad between pairs (P, Q) and (R, U) is crossed unless the diagonals P-U and
    // Q-R meet within P-U; a crossed quad gets its current pair swapped.
    for (uint64_t j = std::max<uint64_t>(offset, 1); j < n; ++j) {
        const ccVertex2F P = vertices[2 * j - 2];
        const ccVertex2F Q = vertices[2 * j - 1];
        ccVertex2F& R = vertices[2 * j];
        ccVertex2F& U = vertices[2 * j + 1];
        float s = 0;
        if (!ccVertexLineIntersect(P.x, P.y, U.x, U.y, Q.x, Q.y, R.x, R.y, &s) || s < 0 || s > 1) {
            std::swap(R, U);
        }
    }
}

void ccAffineToGLMatrix(const CGAffineTransform& transform, float* matrix) {
    const float values[16] = {
        static_cast<float>(transform.a),  static_cast<float>(transform.b),  0, 0,
        static_cast<float>(transform.c),  static_cast<float>(transform.d),  0, 0,
        0,                                0,                                1, 0,
        static_cast<float>(transform.tx), static_cast<float>(transform.ty), 0, 1,
    };
    std::copy(values, values + 16, matrix);
}

void ccGLMatrixToAffine(const float* matrix, CGAffineTransform* transform) {
    *transform = {matrix[0], matrix[1], matrix[4], matrix[5], matrix[12], matrix[13]};
}
