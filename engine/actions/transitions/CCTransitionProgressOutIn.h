#pragma once

#include "engine/actions/transitions/CCTransitionProgress.h"

// A rectangle of the outgoing scene shrinks into the centre, uncovering the incoming one.
class CCTransitionProgressOutIn : public CCTransitionProgress {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionProgressOutIn> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // This transition's timer shape.
    RefPtr<CCProgressTimer> progressTimerNodeWithRenderTexture(CCRenderTexture* texture) override;
};
