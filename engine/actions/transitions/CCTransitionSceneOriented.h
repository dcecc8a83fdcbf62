#pragma once

#include <cstdint>

#include "engine/actions/transitions/CCTransitionScene.h"

// Where the new scene of a flip comes from: the same values name the side for turns about the
// vertical axis and the edge for turns about the horizontal one.
enum CCTransitionOrientation : int32_t {
    kCCOrientationFromLeft = 0,
    kCCOrientationFromRight = 1,
    kCCOrientationFromAbove = 0,
    kCCOrientationFromBelow = 1,
};

// A transition with a direction: the base of the flips, which turn the outgoing scene away and the
// incoming one in by swinging their cameras about the scene's centre.
class CCTransitionSceneOriented : public CCTransitionScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionSceneOriented> transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                    CCTransitionOrientation orientation);
    // The base initialiser, then the orientation.
    bool initWithDuration(float duration, RefPtr<CCScene> scene, CCTransitionOrientation orientation);

    // Where the new scene comes from.
    CCTransitionOrientation orientation() const { return orientation_; }

protected:
    // Starts a flip: each scene's camera orbits for half the duration, the outgoing one from
    // angle Z 0 and then it hides, the incoming one (hidden, and at scale 0.5 when zooming, till
    // then) in the second half from angle Z 90, or 270 when `positive`, both turning by -90
    // degrees, or +90 when `positive`. Angles X are the orbits' fixed tilts, in degrees. Zooming
    // shrinks the outgoing scene to 0.5 and grows the incoming one to 1 while they turn.
    void runFlip(bool positive, float inAngleX, float outAngleX, bool zoom);

    CCTransitionOrientation orientation_ = kCCOrientationFromLeft;
};
