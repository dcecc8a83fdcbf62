#pragma once

#include "engine/actions/CCActionInstant.h"

class CCNode;

// Makes its target node visible. A target that is not a CCNode is left alone.
class CCShow : public CCActionInstant {
public:
    // A new, initialised instance.
    static RefPtr<CCShow> action();

    // The target is taken as a node at the start; the update applies the change.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // A CCHide.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCShow* makeEmptyCopy() const override { return new CCShow; }

private:
    CCNode* node_ = nullptr;  // the target as a node while running; not retained
};
