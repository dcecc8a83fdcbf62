#pragma once

#include "engine/actions/transitions/CCTransitionSlideInL.h"

// Both scenes slide up, the incoming one following in from the bottom; the incoming
// scene is drawn on top.
class CCTransitionSlideInB : public CCTransitionSlideInL {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionSlideInB> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Incoming scene on top.
    void sceneOrder() override;

protected:
    // This transition's direction.
    CGPoint slideOffset() const override;
};
