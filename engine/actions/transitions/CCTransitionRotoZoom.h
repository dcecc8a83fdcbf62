#pragma once

#include "engine/actions/transitions/CCTransitionScene.h"

// The outgoing scene spins (two turns) down to nothing in the first half; the incoming one spins
// back up to full size in the second.
class CCTransitionRotoZoom : public CCTransitionScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionRotoZoom> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // The base onEnter, then starts the animation.
    void onEnter() override;
};
