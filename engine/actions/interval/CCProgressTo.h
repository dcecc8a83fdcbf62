#pragma once

#include "engine/actions/CCActionInterval.h"

class CCProgressTimer;

// Moves a progress timer's percentage linearly to a value, from wherever it is at the start; a
// timer at exactly 100 % starts again from 0, so that a repeated run fills it again.
class CCProgressTo : public CCActionInterval {
public:
    // Seconds and the final percentage (0-100; the timer clamps).
    static RefPtr<CCProgressTo> actionWithDuration(float duration, float percent);
    bool initWithDuration(float duration, float percent);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCProgressTimer is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCProgressTo* makeEmptyCopy() const override { return new CCProgressTo; }

private:
    CCProgressTimer* timer_ = nullptr;  // the running target, not retained
    float to_ = 0;                      // percent
    float from_ = 0;                    // percent, taken at the start
};
