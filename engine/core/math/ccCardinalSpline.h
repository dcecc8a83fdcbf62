#pragma once

#include "engine/core/math/CCPointArray.h"
#include "platform/foundation/Geometry.h"

// The point at t (0..1) on the cardinal-spline segment from p1 to p2, with p0 and p3 its outer
// neighbours: p1 at t = 0, p2 at t = 1. Tension 1 keeps the point on the straight segment; lower
// tensions bend the curve more (the CatmullRom actions use 0.5). The weights sum to 1.
CGPoint ccCardinalSplineInterpolate(CGPoint p0, CGPoint p1, CGPoint p2, CGPoint p3, double tension, float t);

// The point at `progress` (0..1) along the spline through all of the array's points, which must
// not be empty. The n points split the progress into n equal parts: point k is reached at k / n,
// the last one at (n - 1) / n, and the last part leaves it slightly and comes back to it at 1.
CGPoint ccCardinalSplineAt(const CCPointArray& points, double tension, double progress);
