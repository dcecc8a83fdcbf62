#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Pulls back at the start and overshoots at the end.
class CCEaseBackInOut : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseBackInOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseBackInOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;

protected:
    CCEaseBackInOut* makeEmptyCopy() const override { return new CCEaseBackInOut; }
};
