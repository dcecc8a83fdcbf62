#pragma once

#include "engine/actions/CCActionInterval.h"
#include "engine/core/math/CCPointArray.h"
#include "platform/foundation/Geometry.h"

class CCNode;

// Moves a node along the cardinal spline through a list of absolute positions (see
// ccCardinalSplineAt for how the points share the duration). The point array is shared, not
// copied, by copies of the action, and may be edited between runs; while it is empty the action
// moves nothing. A target that is not a CCNode is left alone.
class CCCardinalSplineTo : public CCActionInterval {
public:
    static RefPtr<CCCardinalSplineTo> actionWithDuration(float duration, RefPtr<CCPointArray> points, double tension);
    // `points` must not be null (NSInvalidArgumentException).
    bool initWithDuration(float duration, RefPtr<CCPointArray> points, double tension);

    // The same duration, point array object and tension.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // The same duration and tension along the reversed points.
    RefPtr<CCFiniteTimeAction> reverse() const override;

    CCPointArray* points() const { return points_.get(); }
    // Must not be null (NSInvalidArgumentException).
    void setPoints(RefPtr<CCPointArray> points);

protected:
    CCCardinalSplineTo* makeEmptyCopy() const override { return new CCCardinalSplineTo; }
    // Places the target at the spline point `position`.
    virtual void updatePosition(CGPoint position);
    // An initialised action of the receiver's class with these parameters, for copy and reverse.
    RefPtr<CCCardinalSplineTo> makeLike(RefPtr<CCPointArray> points) const;

    RefPtr<CCPointArray> points_;
    double tension_ = 0;       // 1 gives straight segments; the CatmullRom actions use 0.5
    CCNode* node_ = nullptr;   // the target as a node while running; not retained
};
