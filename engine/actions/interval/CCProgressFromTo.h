#pragma once

#include "engine/actions/CCActionInterval.h"

class CCProgressTimer;

// Moves a progress timer's percentage linearly from one value to another.
class CCProgressFromTo : public CCActionInterval {
public:
    // Seconds, the first and the final percentage (0-100; the timer clamps).
    static RefPtr<CCProgressFromTo> actionWithDuration(float duration, float from, float to);
    bool initWithDuration(float duration, float from, float to);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // The same duration with the percentages exchanged.
    RefPtr<CCFiniteTimeAction> reverse() const override;
    // A target that is not a CCProgressTimer is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCProgressFromTo* makeEmptyCopy() const override { return new CCProgressFromTo; }

private:
    CCProgressTimer* timer_ = nullptr;  // the running target, not retained
    float to_ = 0;                      // percent
    float from_ = 0;                    // percent
};
