#pragma once

#include "engine/actions/CCFiniteTimeAction.h"

// An action that takes no time: its first step applies it (update(1)) and it is done.
class CCActionInstant : public CCFiniteTimeAction {
public:
    // Duration 0.
    bool init() override;

    // A new, initialised instance of the receiver's class; the tag is not copied.
    RefPtr<CCAction> copy() const override;

    bool isDone() const override;
    void step(float dt) override;
    // Where each instant action puts its effect; nothing here.
    void update(float t) override;
    // A copy of the action; classes with a real opposite return that instead.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCActionInstant* makeEmptyCopy() const override { return new CCActionInstant; }
};
