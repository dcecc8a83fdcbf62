#pragma once

#include "engine/actions/CCActionInterval.h"

// A transition that bends the time of its main action: it hands that action through
// easeActionWithAction before running it.
class CCTransitionEaseScene {
public:
    virtual ~CCTransitionEaseScene() = default;
    // The action as the transition runs it: wrapped in an ease, or unchanged.
    virtual RefPtr<CCActionInterval> easeActionWithAction(RefPtr<CCActionInterval> action) = 0;
};
