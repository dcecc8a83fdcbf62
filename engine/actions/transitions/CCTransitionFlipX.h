#pragma once

#include "engine/actions/transitions/CCTransitionSceneOriented.h"

// Turns the scenes about the vertical axis: the new scene comes round from the left, or from the right
// with kCCOrientationFromRight.
class CCTransitionFlipX : public CCTransitionSceneOriented {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionFlipX> transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                            CCTransitionOrientation orientation);

    // The base onEnter, then starts the animation.
    void onEnter() override;
};
