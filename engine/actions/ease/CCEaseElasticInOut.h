#pragma once

#include "engine/actions/ease/CCEaseElastic.h"

// Elastic at both ends; exact at 0 and 1. A zero period becomes 0.45.
class CCEaseElasticInOut : public CCEaseElastic {
public:
    // Period in progress units.
    static RefPtr<CCEaseElasticInOut> actionWithAction(RefPtr<CCActionInterval> action, float period = kDefaultPeriod) {
        return makeEase<CCEaseElasticInOut>(std::move(action), period);
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // An elastic in-out ease with the same period around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseElasticInOut* makeEmptyCopy() const override { return new CCEaseElasticInOut; }
};
