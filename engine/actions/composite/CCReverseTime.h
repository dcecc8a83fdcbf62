#pragma once

#include "engine/actions/CCActionInterval.h"

// Plays a finite-time action backwards: its update gets 1 - t. A property action starts from the
// end state it computes at its own start, so a reversed move-by runs from the moved position back
// to where the target stood. An instant action inside is applied once, at the first update, not
// at both of the two updates an interval of no duration gets.
class CCReverseTime : public CCActionInterval {
public:
    // Lasts as long as the action, which is required (NSInvalidArgumentException).
    static RefPtr<CCReverseTime> actionWithAction(RefPtr<CCFiniteTimeAction> action);
    bool initWithAction(RefPtr<CCFiniteTimeAction> action);

    // Around a copy of the inner action.
    RefPtr<CCAction> copy() const override;
    // Stepping; start and stop also start and stop the inner action, which gets 1 - t.
    void startWithTarget(Object* target) override;
    void stop() override;
    void update(float t) override;
    // A copy of the inner action, which plays forwards.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCReverseTime* makeEmptyCopy() const override { return new CCReverseTime; }

private:
    RefPtr<CCFiniteTimeAction> other_;
    bool otherIsInstant_ = false;
    bool instantApplied_ = false;  // since the start
};
