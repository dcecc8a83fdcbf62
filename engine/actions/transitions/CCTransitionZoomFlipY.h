#pragma once

#include "engine/actions/transitions/CCTransitionSceneOriented.h"

// CCTransitionFlipY with the outgoing scene shrinking to half size as it turns away and the
// incoming one growing from half size as it turns in.
class CCTransitionZoomFlipY : public CCTransitionSceneOriented {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionZoomFlipY> transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                CCTransitionOrientation orientation);

    // The base onEnter, then starts the animation.
    void onEnter() override;
};
