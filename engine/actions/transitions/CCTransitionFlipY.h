#pragma once

#include "engine/actions/transitions/CCTransitionSceneOriented.h"

// Turns the scenes about the horizontal axis: the new scene comes round from above, or from below
// with kCCOrientationFromBelow.
class CCTransitionFlipY : public CCTransitionSceneOriented {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionFlipY> transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                            CCTransitionOrientation orientation);

    // The base onEnter, then starts the animation.
    void onEnter() override;
};
