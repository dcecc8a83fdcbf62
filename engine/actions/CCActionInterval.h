#pragma once

#include "engine/actions/CCFiniteTimeAction.h"

// An action that runs for its duration. Each step adds the frame time to `elapsed` and passes the
// progress elapsed / duration, clamped to 0..1, to update(). The first step after a start adds no
// time, so the first update() always gets 0 and an action needs at least two steps; the last one
// always gets exactly 1. A negative frame time counts as 0, so progress never decreases.
class CCActionInterval : public CCFiniteTimeAction {
public:
    static RefPtr<CCActionInterval> actionWithDuration(float duration);

    // Refused: an interval action needs a duration (initWithDuration).
    bool init() override;
    // Seconds; 0 is stored as the float epsilon (1.1920929e-07) so that progress stays defined.
    bool initWithDuration(float duration);

    // A new instance of the receiver's class with the same duration; the tag is not copied.
    RefPtr<CCAction> copy() const override;

    // Also rewinds to the beginning, so that an action can be started again.
    void startWithTarget(Object* target) override;
    bool isDone() const override;
    void step(float dt) override;

    // Seconds since the start.
    float elapsed() const { return elapsed_; }

protected:
    CCActionInterval* makeEmptyCopy() const override { return new CCActionInterval; }

    float elapsed_ = 0;
    bool firstTick_ = true;  // no step yet since the start
};
