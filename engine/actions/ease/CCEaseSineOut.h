#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Quarter-sine end.
class CCEaseSineOut : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseSineOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseSineOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // A sine-in ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseSineOut* makeEmptyCopy() const override { return new CCEaseSineOut; }
};
