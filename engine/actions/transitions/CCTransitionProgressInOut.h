#pragma once

#include "engine/actions/transitions/CCTransitionProgress.h"

// A rectangle of the incoming scene grows from the centre over the outgoing one.
class CCTransitionProgressInOut : public CCTransitionProgress {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionProgressInOut> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // The incoming scene, 0 to 100.
    void setupTransition() override;
    // This transition's timer shape.
    RefPtr<CCProgressTimer> progressTimerNodeWithRenderTexture(CCRenderTexture* texture) override;
};
