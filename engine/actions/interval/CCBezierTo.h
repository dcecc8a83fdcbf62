#pragma once

#include "engine/actions/interval/CCBezierBy.h"

// A Bezier path whose end and control points are positions in the parent's space.
class CCBezierTo : public CCBezierBy {
public:
    // Seconds and the path, in the parent's space.
    static RefPtr<CCBezierTo> actionWithDuration(float duration, const ccBezierConfig& bezier);

    // Measures the path from the node's start; the given points stay as they are.
    void startWithTarget(Object* target) override;

protected:
    CCBezierTo* makeEmptyCopy() const override { return new CCBezierTo; }
};
