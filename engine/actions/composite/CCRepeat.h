#pragma once

#include <cstdint>

#include "engine/actions/CCActionInterval.h"

// Runs an action a given number of times on its target, restarting it (stop, start) between runs;
// the last run ends with update(1) and stop, so the target ends exactly in the action's end state.
// An instant action applies only at the boundaries between runs, so it runs one time fewer than
// asked (none for a count of 1 or 0). A count of 0 is done at its first step.
class CCRepeat : public CCActionInterval {
public:
    // Lasts the action's duration times `times`. The action is required (NSInvalidArgumentException).
    static RefPtr<CCRepeat> actionWithAction(RefPtr<CCFiniteTimeAction> action, uint64_t times);
    bool initWithAction(RefPtr<CCFiniteTimeAction> action, uint64_t times);

    // Around a copy of the inner action, with the count this repeat was made with.
    RefPtr<CCAction> copy() const override;
    // Stepping; start and stop also start and stop the inner action, and the repeat is done once
    // every run has finished, whatever the time says.
    void startWithTarget(Object* target) override;
    void stop() override;
    bool isDone() const override;
    void update(float t) override;
    // Around the inner action's reverse (which must exist), with the count this repeat was made with.
    RefPtr<CCFiniteTimeAction> reverse() const override;

    // The action repeated; required (NSInvalidArgumentException).
    CCFiniteTimeAction* innerAction() const { return innerAction_.get(); }
    void setInnerAction(RefPtr<CCFiniteTimeAction> action);

protected:
    CCRepeat* makeEmptyCopy() const override { return new CCRepeat; }

private:
    // An initialised repeat of the receiver's class with the same count, for copy and reverse.
    RefPtr<CCRepeat> makeLike(RefPtr<CCFiniteTimeAction> action) const;
    // One run's share of this action's progress, 0..1.
    float runShare() const;

    uint64_t givenTimes_ = 0;  // the count asked for
    uint64_t times_ = 0;       // runs to make: givenTimes_, one fewer (but not below 0) when instant
    uint64_t total_ = 0;       // runs finished since the start, 0..times_
    float nextDt_ = 0;         // the progress at which the current run ends
    bool isActionInstant_ = false;
    RefPtr<CCFiniteTimeAction> innerAction_;
};
