#pragma once

#include "engine/actions/transitions/CCTransitionSlideInL.h"

// Both scenes slide down, the incoming one following in from the top; the outgoing
// scene is drawn on top.
class CCTransitionSlideInT : public CCTransitionSlideInL {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionSlideInT> transitionWithDuration(float duration, RefPtr<CCScene> scene);

protected:
    // This transition's direction.
    CGPoint slideOffset() const override;
};
