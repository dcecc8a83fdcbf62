#pragma once

#include "engine/actions/transitions/CCTransitionMoveInL.h"

// The incoming scene slides in from the top over the outgoing one.
class CCTransitionMoveInT : public CCTransitionMoveInL {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionMoveInT> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Where the incoming scene starts: one window height above.
    void initScenes() override;
};
