#pragma once

#include "engine/actions/ease/CCEaseBounce.h"

// Bounces off the start, growing.
class CCEaseBounceIn : public CCEaseBounce {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseBounceIn> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseBounceIn>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // A bounce-out ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseBounceIn* makeEmptyCopy() const override { return new CCEaseBounceIn; }
};
