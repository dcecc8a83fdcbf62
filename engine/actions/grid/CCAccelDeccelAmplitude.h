#pragma once

#include "engine/actions/CCActionInterval.h"

class CCAmplitudeEffect;

// Runs an amplitude effect (see CCAmplitudeEffect) while driving its amplitude rate: rising from 0
// to 1 over the first half and falling back to 0 over the second, each raised to `rate`.
// CCAccelAmplitude and CCDeccelAmplitude change only the curve.
class CCAccelDeccelAmplitude : public CCActionInterval {
public:
    static RefPtr<CCAccelDeccelAmplitude> actionWithAction(RefPtr<CCActionInterval> action, float duration);
    // Rate 1. The action is required (NSInvalidArgumentException); one that is not an amplitude
    // effect throws NamedException "IntervalAction (Amplitude)" "Abstract class needs
    // implementation" at the first update.
    bool initWithAction(RefPtr<CCActionInterval> action, float duration);

    // Around a copy of the inner action, with the same duration and rate.
    RefPtr<CCAction> copy() const override;
    // Also starts the inner action on the target.
    void startWithTarget(Object* target) override;
    // Sets the inner effect's amplitude rate for t, then updates it with t.
    void update(float t) override;
    // The same kind of action around the inner action's reverse, over the same duration.
    RefPtr<CCFiniteTimeAction> reverse() const override;

    // Exponent of the curve; 1 at start.
    float rate() const { return rate_; }
    void setRate(float rate) { rate_ = rate; }

protected:
    CCAccelDeccelAmplitude* makeEmptyCopy() const override { return new CCAccelDeccelAmplitude; }
    // The inner effect's amplitude rate at progress t.
    virtual float amplitudeRateAt(float t) const;

private:
    float rate_ = 1;
    RefPtr<CCActionInterval> other_;
    CCAmplitudeEffect* effect_ = nullptr;  // other_ as an amplitude effect, or null
};
