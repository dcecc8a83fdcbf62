#pragma once

#include "engine/actions/transitions/CCTransitionMoveInL.h"

// The incoming scene slides in from the bottom over the outgoing one.
class CCTransitionMoveInB : public CCTransitionMoveInL {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionMoveInB> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Where the incoming scene starts: one window height below.
    void initScenes() override;
};
