#pragma once

#include "engine/actions/transitions/CCTransitionMoveInL.h"

// The incoming scene slides in from the right over the outgoing one.
class CCTransitionMoveInR : public CCTransitionMoveInL {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionMoveInR> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Where the incoming scene starts: one window width to the right.
    void initScenes() override;
};
