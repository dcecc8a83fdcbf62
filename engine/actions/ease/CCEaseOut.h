#pragma once

#include "engine/actions/ease/CCEaseRateAction.h"

// Ends slowly: progress^(1/rate).
class CCEaseOut : public CCEaseRateAction {
public:
    // An ease around `action` (retained) with the exponent `rate`.
    static RefPtr<CCEaseOut> actionWithAction(RefPtr<CCActionInterval> action, float rate) {
        return makeEase<CCEaseOut>(std::move(action), rate);
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;

protected:
    CCEaseOut* makeEmptyCopy() const override { return new CCEaseOut; }
};
