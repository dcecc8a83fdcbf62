#pragma once

#include "engine/actions/CCActionInstant.h"

class CCNode;

// Flips the visibility of its target node; it reverses to a copy, as toggling undoes itself. A
// target that is not a CCNode is left alone.
class CCToggleVisibility : public CCActionInstant {
public:
    // A new, initialised instance.
    static RefPtr<CCToggleVisibility> action();

    // The target is taken as a node at the start; the update applies the change.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCToggleVisibility* makeEmptyCopy() const override { return new CCToggleVisibility; }

private:
    CCNode* node_ = nullptr;  // the target as a node while running; not retained
};
