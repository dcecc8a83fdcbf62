#pragma once

#include "engine/actions/transitions/CCTransitionProgress.h"

// A bar wipes the outgoing scene away vertically, towards its bottom edge.
class CCTransitionProgressVertical : public CCTransitionProgress {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionProgressVertical> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // This transition's timer shape.
    RefPtr<CCProgressTimer> progressTimerNodeWithRenderTexture(CCRenderTexture* texture) override;
};
