#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Overshoots 1 before it settles.
class CCEaseBackOut : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseBackOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseBackOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // A back-in ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseBackOut* makeEmptyCopy() const override { return new CCEaseBackOut; }
};
