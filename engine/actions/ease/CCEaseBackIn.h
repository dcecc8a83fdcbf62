#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Pulls back below 0 (least near progress 0.42) before it goes.
class CCEaseBackIn : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseBackIn> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseBackIn>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // A back-out ease around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseBackIn* makeEmptyCopy() const override { return new CCEaseBackIn; }
};
