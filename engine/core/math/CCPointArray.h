#pragma once

#include <cstdint>
#include <vector>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

// An ordered, editable list of control points (points, double precision) for the spline actions
// and the spline drawing functions. An index outside the list is the caller's mistake and throws
// NSRangeException.
class CCPointArray : public Object {
public:
    static RefPtr<CCPointArray> arrayWithCapacity(uint64_t capacity);

    // Empty, with room for 50 points.
    bool init();
    // Empty, with room for `capacity` points before the list grows.
    bool initWithCapacity(uint64_t capacity);

    // A new array with its own list of the same points.
    RefPtr<CCPointArray> copy() const;

    void addControlPoint(CGPoint point);
    // Inserts before `index`, 0 .. count().
    void insertControlPoint(CGPoint point, uint64_t index);
    // `index` is limited into 0 .. count() - 1, so that spline neighbours beyond either end are the
    // end points. The array must not be empty.
    CGPoint getControlPointAtIndex(int64_t index) const;
    // `index` is 0 .. count() - 1.
    void replaceControlPoint(CGPoint point, uint64_t index);
    void removeControlPointAtIndex(uint64_t index);
    uint64_t count() const { return controlPoints_.size(); }

    // A new array of the points in reverse order; the receiver is unchanged.
    RefPtr<CCPointArray> reverse() const;
    void reverseInline();

    // The points in order.
    const std::vector<CGPoint>& controlPoints() const { return controlPoints_; }
    void setControlPoints(std::vector<CGPoint> controlPoints) { controlPoints_ = std::move(controlPoints); }

private:
    std::vector<CGPoint> controlPoints_;
};
