#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Exponential end.
class CCEaseExponentialOut : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseExponentialOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseExponentialOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // An exponential-in ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseExponentialOut* makeEmptyCopy() const override { return new CCEaseExponentialOut; }
};
