#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Exponential start; 0 at the start but 0.999, not 1, at the end.
class CCEaseExponentialIn : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseExponentialIn> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseExponentialIn>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // An exponential-out ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseExponentialIn* makeEmptyCopy() const override { return new CCEaseExponentialIn; }
};
