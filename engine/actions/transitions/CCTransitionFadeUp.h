#pragma once

#include "engine/actions/transitions/CCTransitionFadeTR.h"

// The outgoing scene fades out tile by tile upwards.
class CCTransitionFadeUp : public CCTransitionFadeTR {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionFadeUp> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // This transition's tile fade.
    RefPtr<CCActionInterval> actionWithSize(ccGridSize size) override;
};
