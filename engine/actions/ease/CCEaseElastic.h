#pragma once

#include "engine/actions/ease/CCActionEase.h"

// The base of the elastic eases: a sine wave under an exponential envelope. The period is in
// progress units (0.3 by default); smaller periods oscillate faster.
class CCEaseElastic : public CCActionEase {
public:
    // Progress units.
    static constexpr float kDefaultPeriod = 0.3f;

    // An ease around `action` (retained) with the period in progress units.
    static RefPtr<CCEaseElastic> actionWithAction(RefPtr<CCActionInterval> action, float period = kDefaultPeriod) {
        return makeEase<CCEaseElastic>(std::move(action), period);
    }
    bool initWithAction(RefPtr<CCActionInterval> action, float period = kDefaultPeriod);

    // Progress units; the in, out and in-out curves replace a zero period at their first update
    // (0.3, 0.3 and 0.45), since they divide by it.
    float period() const { return period_; }
    void setPeriod(float period) { period_ = period; }

    // Keeps the period.
    RefPtr<CCAction> copy() const override;
    // None at this level: null.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseElastic* makeEmptyCopy() const override { return new CCEaseElastic; }

    // The period, a zero one first replaced (and kept) by `replacement`, since the curves divide
    // by it.
    float periodOr(float replacement);

    float period_ = kDefaultPeriod;
};
