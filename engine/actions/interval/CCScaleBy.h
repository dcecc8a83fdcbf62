#pragma once

#include "engine/actions/interval/CCScaleTo.h"

// Multiplies a node's scale factors by the given factors.
class CCScaleBy : public CCScaleTo {
public:
    // One multiplier for both axes, or one per axis.
    static RefPtr<CCScaleBy> actionWithDuration(float duration, float scale);
    static RefPtr<CCScaleBy> actionWithDuration(float duration, float scaleX, float scaleY);

    // The change is start x multiplier - start, per axis.
    void startWithTarget(Object* target) override;
    // A scale of the receiver's class by the reciprocal multipliers.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCScaleBy* makeEmptyCopy() const override { return new CCScaleBy; }
};
