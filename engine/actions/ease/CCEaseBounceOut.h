#pragma once

#include "engine/actions/ease/CCEaseBounce.h"

// Bounces on the end, settling.
class CCEaseBounceOut : public CCEaseBounce {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseBounceOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseBounceOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // A bounce-in ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseBounceOut* makeEmptyCopy() const override { return new CCEaseBounceOut; }
};
