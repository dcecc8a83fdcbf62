#pragma once

#include "engine/actions/ease/CCEaseBounce.h"

// Bounces at both ends.
class CCEaseBounceInOut : public CCEaseBounce {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseBounceInOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseBounceInOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;

protected:
    CCEaseBounceInOut* makeEmptyCopy() const override { return new CCEaseBounceInOut; }
};
