#pragma once

#include "engine/actions/ease/CCEaseElastic.h"

// Oscillates with growing amplitude before it leaves; exact at 0 and 1.
class CCEaseElasticIn : public CCEaseElastic {
public:
    // Period in progress units.
    static RefPtr<CCEaseElasticIn> actionWithAction(RefPtr<CCActionInterval> action, float period = kDefaultPeriod) {
        return makeEase<CCEaseElasticIn>(std::move(action), period);
    }

    // The inner action's update with the curve's value at t.
    void update(float t) override;
    // An elastic-out ease with the same period around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseElasticIn* makeEmptyCopy() const override { return new CCEaseElasticIn; }
};
