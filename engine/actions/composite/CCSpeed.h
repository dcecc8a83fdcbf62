#pragma once

#include "engine/actions/CCActionInterval.h"

// Runs an interval action with its time scaled by a factor (2: twice as fast), which may change
// while it runs. Not a finite-time action: the action manager steps it directly.
class CCSpeed : public CCAction {
public:
    // The action is required (NSInvalidArgumentException).
    static RefPtr<CCSpeed> actionWithAction(RefPtr<CCActionInterval> action, float speed);
    bool initWithAction(RefPtr<CCActionInterval> action, float speed);

    // Around a copy of the inner action, same speed; the tag is not copied.
    RefPtr<CCAction> copy() const override;
    // Stepping: each call goes to the inner action, steps with the scaled frame time.
    void startWithTarget(Object* target) override;
    void stop() override;
    bool isDone() const override;
    void step(float dt) override;
    // Around the inner action's reverse, which must be an interval action; same speed.
    RefPtr<CCSpeed> reverse() const;

    // Time factor; 1 runs the inner action as it is.
    float speed() const { return speed_; }
    void setSpeed(float speed) { speed_ = speed; }
    // The action run; required (NSInvalidArgumentException).
    CCActionInterval* innerAction() const { return innerAction_.get(); }
    void setInnerAction(RefPtr<CCActionInterval> action);

protected:
    CCSpeed* makeEmptyCopy() const override { return new CCSpeed; }

private:
    RefPtr<CCActionInterval> innerAction_;
    float speed_ = 1;
};
