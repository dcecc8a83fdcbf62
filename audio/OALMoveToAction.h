#pragma once

#include "audio/OALMoveByAction.h"

// Moves the target in a straight line from where it is when the action is prepared to a position,
// over a duration or at a speed. A move by the offset found at prepare time.
class OALMoveToAction : public OALMoveByAction {
public:
    // Over `duration` seconds; the constructor does the same.
    static RefPtr<OALMoveToAction> actionWithDuration(float duration, ALXYZ position);
    // At `unitsPerSecond`; the duration is known once the action is prepared (0 until then).
    static RefPtr<OALMoveToAction> actionWithUnitsPerSecond(float unitsPerSecond, ALXYZ position);

    OALMoveToAction(float duration, ALXYZ position) : OALMoveByAction(duration, {}), position_(position) {}

    // The offset from the target's position to the destination, then the move's prepare.
    void prepareWithTarget(OALActionTarget* target) override;

private:
    const ALXYZ position_;  // the destination
};
