#pragma once

#include "engine/actions/transitions/CCTransitionSceneOriented.h"

// Turns the scenes about a diagonal axis, tilted 45 degrees each way for the two scenes; the
// orientation picks the direction as for CCTransitionFlipX.
class CCTransitionFlipAngular : public CCTransitionSceneOriented {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionFlipAngular> transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                  CCTransitionOrientation orientation);

    // The base onEnter, then starts the animation.
    void onEnter() override;
};
