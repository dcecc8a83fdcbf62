#pragma once

#include "engine/actions/transitions/CCTransitionEaseScene.h"
#include "engine/actions/transitions/CCTransitionScene.h"

// Both scenes slide to the right together, the incoming one following in from the left; the
// outgoing scene is drawn on top.
class CCTransitionSlideInL : public CCTransitionScene, public CCTransitionEaseScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionSlideInL> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Outgoing scene on top.
    void sceneOrder() override;
    // Places the incoming scene, then moves both scenes by slideOffset over the duration.
    void onEnter() override;
    // Where the incoming scene starts: minus slideOffset.
    virtual void initScenes();
    // Moves by slideOffset over the duration; a new action each time.
    virtual RefPtr<CCActionInterval> action();
    // Ease-out with rate 2.
    RefPtr<CCActionInterval> easeActionWithAction(RefPtr<CCActionInterval> action) override;

protected:
    // How far both scenes move, points: one window width less half a point, here to the right, so
    // that the two scenes overlap by half a point and no gap shows between them.
    virtual CGPoint slideOffset() const;
};
