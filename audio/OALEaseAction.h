#pragma once

#include "audio/OALAction.h"

// The shapes and phases of the easing curves; a curve is picked by both.
enum OALEaseShape : int {
    OALEaseShapeSine = 0,
    OALEaseShapeExponential = 1,
};

enum OALEasePhase : int {
    OALEasePhaseIn = 0,
    OALEasePhaseOut = 1,
    OALEasePhaseInOut = 2,
};

// Maps a completion fraction 0..1 onto a curve that starts at 0 and ends at 1.
using OALEaseFunction = float (*)(float proportionComplete);

// Runs an inner action with its completion fraction passed through an easing curve. The ease takes
// the inner action's duration and hands its target on to it.
class OALEaseAction : public OALAction {
public:
    // The curve of that shape and phase; a shape outside 0..1 or a phase outside 0..2 throws
    // NamedException "NSInvalidArgumentException".
    static OALEaseFunction easeFunctionForShape(int shape, int phase);

    // A null action throws NamedException "NSInvalidArgumentException", as a bad shape or phase does.
    static RefPtr<OALEaseAction> actionWithShape(int shape, int phase, RefPtr<OALAction> action);
    OALEaseAction(int shape, int phase, RefPtr<OALAction> action);

    // The base steps, each passed on to the inner action.
    void prepareWithTarget(OALActionTarget* target) override;
    void startAction() override;
    void updateCompletion(float proportionComplete) override;
    void stopAction() override;

private:
    const RefPtr<OALAction> action_;
    const OALEaseFunction easeFunction_;
};
