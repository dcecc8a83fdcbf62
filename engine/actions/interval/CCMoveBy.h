#pragma once

#include "engine/actions/interval/CCMoveTo.h"

// Moves a node in a straight line by an amount (points) from wherever it is at the start.
class CCMoveBy : public CCMoveTo {
public:
    // Seconds and the amount (points).
    static RefPtr<CCMoveBy> actionWithDuration(float duration, CGPoint amount);
    bool initWithDuration(float duration, CGPoint amount);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    // The same move backwards.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCMoveBy* makeEmptyCopy() const override { return new CCMoveBy; }

private:
    RefPtr<CCMoveBy> makeWith(CGPoint amount) const;
};
