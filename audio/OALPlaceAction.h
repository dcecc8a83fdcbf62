#pragma once

#include "audio/OALAction.h"

// Puts the target at a position at once.
class OALPlaceAction : public OALAction {
public:
    // An instant action.
    static RefPtr<OALPlaceAction> actionWithPosition(ALXYZ position);
    explicit OALPlaceAction(ALXYZ position) : position_(position) {}

    // Sets the target's position, whatever the fraction.
    void updateCompletion(float proportionComplete) override;

private:
    const ALXYZ position_;
};
