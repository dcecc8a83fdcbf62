#pragma once

#include "engine/actions/CCActionInterval.h"

// Runs an inner action on a fixed target of its own, whatever it is run on: inside a sequence it
// lets one timeline drive several nodes. Lasts as long as the inner action. When run directly on
// a node, the node stays its originalTarget, so that the node can stop it and the action manager
// finds it under that node.
class CCTargetedAction : public CCActionInterval {
public:
    // Neither may be null (NSInvalidArgumentException).
    static RefPtr<CCTargetedAction> actionWithTarget(RefPtr<Object> target, RefPtr<CCFiniteTimeAction> action);
    bool initWithTarget(RefPtr<Object> target, RefPtr<CCFiniteTimeAction> action);

    // The same forced target and a copy of the inner action.
    RefPtr<CCAction> copy() const override;
    // `target` is kept only as the originalTarget: the action and its inner action run on the
    // forced target.
    void startWithTarget(Object* target) override;
    // Also stops the inner action.
    void stop() override;
    void update(float t) override;

    // What the inner action changes; must not be null (NSInvalidArgumentException).
    Object* forcedTarget() const { return forcedTarget_.get(); }
    void setForcedTarget(RefPtr<Object> forcedTarget);

protected:
    CCTargetedAction* makeEmptyCopy() const override { return new CCTargetedAction; }

private:
    RefPtr<Object> forcedTarget_;
    RefPtr<CCFiniteTimeAction> action_;
};
