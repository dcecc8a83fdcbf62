#pragma once

#include "engine/actions/transitions/CCTransitionEaseScene.h"
#include "engine/actions/transitions/CCTransitionScene.h"

struct ccGridSize;

// The outgoing scene, drawn on top, fades out tile by tile towards the top-right corner,
// uncovering the incoming one.
class CCTransitionFadeTR : public CCTransitionScene, public CCTransitionEaseScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionFadeTR> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Outgoing scene on top.
    void sceneOrder() override;
    // The base onEnter, then starts the animation.
    void onEnter() override;
    // The tile fade over the duration on a grid of the size; here towards the top right.
    virtual RefPtr<CCActionInterval> actionWithSize(ccGridSize size);
    // The action unchanged.
    RefPtr<CCActionInterval> easeActionWithAction(RefPtr<CCActionInterval> action) override;
};
