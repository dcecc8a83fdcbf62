#pragma once

#include "engine/actions/ease/CCActionEase.h"

// An ease whose curve is a power of the progress.
class CCEaseRateAction : public CCActionEase {
public:
    // An ease around `action` (retained) with the exponent `rate`.
    static RefPtr<CCEaseRateAction> actionWithAction(RefPtr<CCActionInterval> action, float rate) {
        return makeEase<CCEaseRateAction>(std::move(action), rate);
    }
    bool initWithAction(RefPtr<CCActionInterval> action, float rate);

    // The exponent.
    float rate() const { return rate_; }
    void setRate(float rate) { rate_ = rate; }

    // Keeps the rate.
    RefPtr<CCAction> copy() const override;
    // An ease of the receiver's class with rate 1 / rate around the inner action's reverse.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCEaseRateAction* makeEmptyCopy() const override { return new CCEaseRateAction; }

    // An ease of the receiver's class with `rate` around the inner action's reverse; null when the
    // inner action has none.
    RefPtr<CCFiniteTimeAction> reverseWithRate(float rate) const;

    float rate_ = 0;
};
