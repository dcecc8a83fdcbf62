#include "engine/core/math/ccCardinalSpline.h"

#include <cstdint>

CGPoint ccCardinalSplineInterpolate(CGPoint p0, CGPoint p1, CGPoint p2, CGPoint p3, double tension, float t) {
    const double tt = t * t;  // squared in single precision
    const double ttt = t * tt;
    const double s = (1 - tension) / 2;
    const double b0 = s * (2 * tt - ttt - t);
    const double b1 = s * (tt - ttt) + (2 * ttt - 3 * tt + 1);
    const double b2 = s * (ttt - 2 * tt + t) + (3 * tt - 2 * ttt);
    const double b3 = s * (ttt - tt);
    return {p0.x * b0 + p1.x * b1 + p2.x * b2 + p3.x * b3, p0.y * b0 + p1.y * b1 + p2.y * b2 + p3.y * b3};
}

CGPoint ccCardinalSplineAt(const CCPointArray& points, double tension, double progress) {
    const double deltaT = 1.0 / static_cast<double>(points.count());
    int64_t segment;
    float localT;
    if (progress == 1) {
        segment = static_cast<int64_t>(points.count()) - 1;
        localT = 1;
    } else {
        segment = static_cast<int64_t>(progress / deltaT);
        localT = static_cast<float>((progress - segment * deltaT) / deltaT);
    }
    return ccCardinalSplineInterpolate(points.getControlPointAtIndex(segment - 1), points.getControlPointAtIndex(segment),
                                       points.getControlPointAtIndex(segment + 1),
                                       points.getControlPointAtIndex(segment + 2), tension, localT);
}
