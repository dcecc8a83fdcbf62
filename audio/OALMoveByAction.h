#pragma once

#include "audio/OALAction.h"

// Moves the target in a straight line by an offset from where it is when the action is prepared,
// over a duration or at a speed.
class OALMoveByAction : public OALAction {
public:
    // Over `duration` seconds; the constructor does the same.
    static RefPtr<OALMoveByAction> actionWithDuration(float duration, ALXYZ delta);
    // At `unitsPerSecond`; the duration is the offset's length over the speed (0 for a speed of 0
    // or less, which makes the move instant: it never leaves the start).
    static RefPtr<OALMoveByAction> actionWithUnitsPerSecond(float unitsPerSecond, ALXYZ delta);

    OALMoveByAction(float duration, ALXYZ delta) : OALAction(duration), delta_(delta) {}

    // Takes the start from the target and, when moving at a speed, recomputes the duration.
    void prepareWithTarget(OALActionTarget* target) override;
    // Sets the position to start + delta x proportionComplete.
    void updateCompletion(float proportionComplete) override;

protected:
    ALXYZ delta_;               // the whole move
    float unitsPerSecond_ = 0;  // above 0 when the move goes at a speed rather than a duration

private:
    ALXYZ startPoint_;  // the target's position when prepared
};
