#pragma once

#include <cstdint>

#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"

// Free functions on 2D points. Angles are radians, counter-clockwise positive. Several functions
// compute in single precision, as each says; their results are good to that precision only.

// Smallest power of two not below x; 0 gives 0, and so does any x above 2^63.
uint64_t ccNextPowerOfTwo(uint64_t x);

// Squares summed in double, square root in single precision.
double ccPointLength(CGPoint point);
double ccPointDistance(CGPoint a, CGPoint b);
// The point scaled by 1 / ccPointLength; a zero point gives NaN components.
CGPoint ccPointNormalize(CGPoint point);
// (cosf(angle), sinf(angle)).
CGPoint ccPointForAngle(double angle);
// atan2f(y, x), in [-pi, pi].
double ccPointToAngle(CGPoint point);
// a·(1 - t) + b·t.
CGPoint ccPointLerp(CGPoint a, CGPoint b, float t);
// The value limited to the range between the two bounds, given in either order.
float ccClampFloat(float value, float bound1, float bound2);
// Each coordinate clamped in single precision between the corners' coordinates.
CGPoint ccPointClamp(CGPoint point, CGPoint corner1, CGPoint corner2);
CGPoint ccPointFromSize(CGSize size);
// The function applied to x and to y, each taken in single precision (floorf, roundf...).
CGPoint ccPointApply(float (*function)(float), CGPoint point);
// True when each coordinate of b lies within a's ± variance, bounds included.
bool ccPointFuzzyEqual(CGPoint a, CGPoint b, float variance);
// (a.x·b.x, a.y·b.y).
CGPoint ccPointMultiplyComponents(CGPoint a, CGPoint b);
// Angle from a to b in [-pi, pi], positive counter-clockwise; below FLT_EPSILON it is 0.
float ccPointAngleSigned(CGPoint a, CGPoint b);
// Unsigned angle between a and b in [0, pi]; below FLT_EPSILON it is 0.
float ccPointAngle(CGPoint a, CGPoint b);
// The point turned by angle about the pivot, counter-clockwise for a positive angle.
CGPoint ccPointRotateAround(CGPoint point, CGPoint pivot, float angle);

// Where lines AB and CD cross: A + s·(B - A) = C + t·(D - C), in single precision.
// False when A = B or C = D. Parallel lines leave s and t as undivided cross products and are
// reported crossing only when collinear (then s = t = 0).
bool ccLineIntersectParams(CGPoint A, CGPoint B, CGPoint C, CGPoint D, float* s, float* t);
// ccLineIntersectParams with both parameters within [0, 1]. Collinear segments always count as
// intersecting, even when they do not overlap.
bool ccSegmentIntersects(CGPoint A, CGPoint B, CGPoint C, CGPoint D);
// The crossing point of lines AB and CD, or (0, 0) when ccLineIntersectParams fails.
CGPoint ccLineIntersectionPoint(CGPoint A, CGPoint B, CGPoint C, CGPoint D);
// Crossing of line AB with line CD as a fraction s of the way from A to B, in single precision;
// false when A = B, C = D or the lines are parallel.
bool ccVertexLineIntersect(float Ax, float Ay, float Bx, float By, float Cx, float Cy, float Dx, float Dy,
                           float* s);

// Widens the polyline points[0 .. offset + count - 1] into a triangle strip of width stroke,
// writing vertices 2i and 2i + 1 (either side of point i) for the points from offset on; the
// vertices before 2·offset must already hold an earlier call's output. Pairs are ordered so that
// no quad of the strip is crossed. A point next to a coincident one takes the previous point's
// direction (or, first in the call, the perpendicular of the nearest segment with length); a
// polyline that never moves gets zero width. Fewer than 2 points write nothing.
void ccVertexLineToPolygon(const CGPoint* points, float stroke, ccVertex2F* vertices, uint64_t offset,
                           uint64_t count);

// Column-major 4x4 matrix with columns (a, b, 0, 0), (c, d, 0, 0), (0, 0, 1, 0), (tx, ty, 0, 1).
void ccAffineToGLMatrix(const CGAffineTransform& transform, float* matrix);
// Reads a, b, c, d, tx, ty from elements 0, 1, 4, 5, 12, 13.
void ccGLMatrixToAffine(const float* matrix, CGAffineTransform* transform);
