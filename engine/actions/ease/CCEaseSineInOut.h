#pragma once

#include "engine/actions/ease/CCActionEase.h"

// Half-cosine at both ends.
class CCEaseSineInOut : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseSineInOut> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseSineInOut>(std::move(action));
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;

protected:
    CCEaseSineInOut* makeEmptyCopy() const override { return new CCEaseSineInOut; }
};
