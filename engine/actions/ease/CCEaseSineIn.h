#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Quarter-sine start.
class CCEaseSineIn : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseSineIn> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseSineIn>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // A sine-out ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseSineIn* makeEmptyCopy() const override { return new CCEaseSineIn; }
};
