#pragma once

#include "engine/actions/transitions/CCTransitionEaseScene.h"
#include "engine/actions/transitions/CCTransitionScene.h"

// The outgoing scene shrinks towards a point a third of the way across while the incoming one
// grows from a point two thirds across.
class CCTransitionShrinkGrow : public CCTransitionScene, public CCTransitionEaseScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionShrinkGrow> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // The base onEnter, then starts the animation.
    void onEnter() override;
    // Ease-out with rate 2.
    RefPtr<CCActionInterval> easeActionWithAction(RefPtr<CCActionInterval> action) override;
};
