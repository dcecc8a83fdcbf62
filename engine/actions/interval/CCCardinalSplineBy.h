#pragma once

#include "engine/actions/interval/CCCardinalSplineTo.h"

// Moves a node along the cardinal spline through positions relative to where it stood at the
// start; the first point is normally (0, 0).
class CCCardinalSplineBy : public CCCardinalSplineTo {
public:
    static RefPtr<CCCardinalSplineBy> actionWithDuration(float duration, RefPtr<CCPointArray> points, double tension);

    void startWithTarget(Object* target) override;
    // Offsets that, started where this action ends, retrace its points backwards: (0, 0),
    // P[n-2] - P[n-1], ..., P[0] - P[n-1] for offsets P[0] = (0, 0) .. P[n-1].
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCCardinalSplineBy* makeEmptyCopy() const override { return new CCCardinalSplineBy; }
    void updatePosition(CGPoint position) override;

    CGPoint startPosition_;  // the target's position at the start, points
};
