#pragma once

#include "engine/actions/CCActionInterval.h"
#include "engine/actions/transitions/CCTransitionScene.h"

struct ccGridSize;

// The outgoing scene curls away like a turned page from its bottom-right corner, uncovering the
// incoming one; backwards, the incoming scene curls down over the outgoing one instead.
class CCTransitionPageTurn : public CCTransitionScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionPageTurn> transitionWithDuration(float duration, RefPtr<CCScene> scene, bool backwards);
    // Stores the direction, then the base initialiser (whose sceneOrder reads it).
    bool initWithDuration(float duration, RefPtr<CCScene> scene, bool backwards);

    // The incoming scene on top exactly when backwards.
    void sceneOrder() override;
    // Turns on a grid of 16 x 12 in a landscape window, else 12 x 16.
    void onEnter() override;
    // The page turn over the duration on a grid of the size; played in reverse when backwards.
    RefPtr<CCActionInterval> actionWithSize(ccGridSize size);

private:
    bool back_ = false;
};
