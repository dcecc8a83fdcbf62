#pragma once

#include "engine/actions/ease/CCEaseElastic.h"

// Overshoots and settles with shrinking oscillations; exact at 0 and 1.
class CCEaseElasticOut : public CCEaseElastic {
public:
    // Period in progress units.
    static RefPtr<CCEaseElasticOut> actionWithAction(RefPtr<CCActionInterval> action, float period = kDefaultPeriod) {
        return makeEase<CCEaseElasticOut>(std::move(action), period);
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // An elastic-in ease with the same period around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseElasticOut* makeEmptyCopy() const override { return new CCEaseElasticOut; }
};
