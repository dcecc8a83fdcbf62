#pragma once

#include <initializer_list>
#include <vector>

#include "audio/OALAction.h"

// Runs its actions side by side on the same target; the whole lasts as long as the longest. Each
// member with a duration reaches its end at its own time and then stays at 1 until the whole ends;
// instant members are only ever updated with 0. Members stop with the whole.
class OALConcurrentActions : public OALAction {
public:
    // A null action in the list throws NamedException "NSInvalidArgumentException".
    static RefPtr<OALConcurrentActions> actions(std::initializer_list<RefPtr<OALAction>> actions);
    static RefPtr<OALConcurrentActions> actionsFromArray(std::vector<RefPtr<OALAction>> actions);
    explicit OALConcurrentActions(std::vector<RefPtr<OALAction>> actions);

    // Prepares every member and takes the longest duration.
    void prepareWithTarget(OALActionTarget* target) override;
    // Starts or stops every member, then the base step.
    void startAction() override;
    void stopAction() override;
    // Fraction 0 updates every member with 0; any other updates each member with a duration with
    // its own fraction, at most 1.
    void updateCompletion(float proportionComplete) override;

private:
    const std::vector<RefPtr<OALAction>> actions_;
    std::vector<OALAction*> actionsWithDuration_;  // members with a duration above 0, in order
    std::vector<float> pDurations_;               // their shares of the whole, parallel to actionsWithDuration_
};
