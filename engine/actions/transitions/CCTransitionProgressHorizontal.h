#pragma once

#include "engine/actions/transitions/CCTransitionProgress.h"

// A bar wipes the outgoing scene away horizontally, towards its right edge.
class CCTransitionProgressHorizontal : public CCTransitionProgress {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionProgressHorizontal> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // This transition's timer shape.
    RefPtr<CCProgressTimer> progressTimerNodeWithRenderTexture(CCRenderTexture* texture) override;
};
