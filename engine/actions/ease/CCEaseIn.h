#pragma once

#include "engine/actions/ease/CCEaseRateAction.h"

// Starts slowly: progress^rate.
class CCEaseIn : public CCEaseRateAction {
public:
    // An ease around `action` (retained) with the exponent `rate`.
    static RefPtr<CCEaseIn> actionWithAction(RefPtr<CCActionInterval> action, float rate) {
        return makeEase<CCEaseIn>(std::move(action), rate);
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;

protected:
    CCEaseIn* makeEmptyCopy() const override { return new CCEaseIn; }
};
