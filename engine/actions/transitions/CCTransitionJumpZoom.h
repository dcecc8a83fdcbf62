#pragma once

#include "engine/actions/transitions/CCTransitionScene.h"

// The outgoing scene shrinks to half size and jumps away to the left; the incoming one, at half
// size a window width to the right, jumps in and grows to full size.
class CCTransitionJumpZoom : public CCTransitionScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionJumpZoom> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // The base onEnter, then starts the animation.
    void onEnter() override;
};
