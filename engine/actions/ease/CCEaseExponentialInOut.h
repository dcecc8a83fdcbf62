#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Exponential at both ends; 2^-11 at the start and 1 - 2^-11 at the end.
class CCEaseExponentialInOut : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseExponentialInOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseExponentialInOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;

protected:
    CCEaseExponentialInOut* makeEmptyCopy() const override { return new CCEaseExponentialInOut; }
};
