#pragma once

#include "engine/actions/CCActionInstant.h"

class CCNode;

// Makes its target node invisible. A target that is not a CCNode is left alone.
class CCHide : public CCActionInstant {
public:
    // A new, initialised instance.
    static RefPtr<CCHide> action();

    // The target is taken as a node at the start; the update applies the change.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // A CCShow.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCHide* makeEmptyCopy() const override { return new CCHide; }

private:
    CCNode* node_ = nullptr;  // the target as a node while running; not retained
};
