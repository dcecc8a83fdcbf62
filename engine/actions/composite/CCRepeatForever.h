#pragma once

#include "engine/actions/CCActionInterval.h"

// Restarts an interval action without end. Not a finite-time action, so it cannot be placed in a
// sequence, spawn or repeat; the action manager steps it directly. Time that a frame carries past
// the end of a run goes into the next run (one restart per frame at most).
class CCRepeatForever : public CCAction {
public:
    // The action is required (NSInvalidArgumentException).
    static RefPtr<CCRepeatForever> actionWithAction(RefPtr<CCActionInterval> action);
    bool initWithAction(RefPtr<CCActionInterval> action);

    // Around a copy of the inner action; the tag is not copied.
    RefPtr<CCAction> copy() const override;
    // Stepping: start also starts the inner action (stop() leaves it as it is); never done.
    void startWithTarget(Object* target) override;
    bool isDone() const override { return false; }
    void step(float dt) override;
    // Around the inner action's reverse, which must be an interval action.
    RefPtr<CCRepeatForever> reverse() const;

    // The action run; required (NSInvalidArgumentException).
    CCActionInterval* innerAction() const { return innerAction_.get(); }
    void setInnerAction(RefPtr<CCActionInterval> action);

protected:
    CCRepeatForever* makeEmptyCopy() const override { return new CCRepeatForever; }

private:
    RefPtr<CCActionInterval> innerAction_;
};
