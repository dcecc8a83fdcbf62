#pragma once

#include "engine/actions/ease/CCEaseRateAction.h"

// Slow at both ends: the rate curve on each half, mirrored for the second.
class CCEaseInOut : public CCEaseRateAction {
public:
    // An ease around `action` (retained) with the exponent `rate`.
    static RefPtr<CCEaseInOut> actionWithAction(RefPtr<CCActionInterval> action, float rate) {
        return makeEase<CCEaseInOut>(std::move(action), rate);
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // An in-out ease with the same rate around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseInOut* makeEmptyCopy() const override { return new CCEaseInOut; }
};
