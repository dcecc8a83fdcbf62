#pragma once

#include "engine/actions/transitions/CCTransitionProgress.h"

// A radial sweep wipes the outgoing scene away: the uncovered sector opens from twelve o'clock
// and grows anticlockwise.
class CCTransitionProgressRadialCCW : public CCTransitionProgress {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionProgressRadialCCW> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // This transition's timer shape.
    RefPtr<CCProgressTimer> progressTimerNodeWithRenderTexture(CCRenderTexture* texture) override;
};
