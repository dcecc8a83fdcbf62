#pragma once

#include "engine/actions/transitions/CCTransitionEaseScene.h"
#include "engine/actions/transitions/CCTransitionScene.h"

// The outgoing scene, drawn on top, switches off tile by tile in a fixed random order, uncovering
// the incoming one.
class CCTransitionTurnOffTiles : public CCTransitionScene, public CCTransitionEaseScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionTurnOffTiles> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Outgoing scene on top.
    void sceneOrder() override;
    // The base onEnter, then starts the animation.
    void onEnter() override;
    // The action unchanged.
    RefPtr<CCActionInterval> easeActionWithAction(RefPtr<CCActionInterval> action) override;
};
