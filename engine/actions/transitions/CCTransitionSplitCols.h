#pragma once

#include "engine/actions/transitions/CCTransitionEaseScene.h"
#include "engine/actions/transitions/CCTransitionScene.h"

// The outgoing scene splits into three columns that slide apart vertically; the scenes swap, and
// the incoming scene's columns slide back together. The grid covers the whole transition, so both
// scenes are split alike.
class CCTransitionSplitCols : public CCTransitionScene, public CCTransitionEaseScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionSplitCols> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // The base onEnter, then starts the animation.
    void onEnter() override;
    // The split over half the duration: 3 columns.
    virtual RefPtr<CCActionInterval> action();
    // Ease-in-out with rate 3.
    RefPtr<CCActionInterval> easeActionWithAction(RefPtr<CCActionInterval> action) override;
};
