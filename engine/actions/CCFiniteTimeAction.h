#pragma once

#include "engine/actions/CCAction.h"

// An action that lasts a known time and may know how to undo itself.
class CCFiniteTimeAction : public CCAction {
public:
    // Seconds.
    float duration() const { return duration_; }
    void setDuration(float duration) { duration_ = duration; }

    // A new action that undoes this one; null when the class has none.
    virtual RefPtr<CCFiniteTimeAction> reverse() const;

protected:
    CCFiniteTimeAction* makeEmptyCopy() const override { return new CCFiniteTimeAction; }

    float duration_ = 0;
};
