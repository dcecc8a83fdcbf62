#pragma once

#include "engine/actions/transitions/CCTransitionEaseScene.h"
#include "engine/actions/transitions/CCTransitionScene.h"

// The incoming scene slides in from the left over the outgoing one, which stays where it is.
class CCTransitionMoveInL : public CCTransitionScene, public CCTransitionEaseScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionMoveInL> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Places the incoming scene, then moves it to (0, 0) over the duration.
    void onEnter() override;
    // Where the incoming scene starts: one window width to the left.
    virtual void initScenes();
    // Moves to (0, 0) over the duration.
    virtual RefPtr<CCActionInterval> action();
    // Ease-out with rate 2.
    RefPtr<CCActionInterval> easeActionWithAction(RefPtr<CCActionInterval> action) override;
};
