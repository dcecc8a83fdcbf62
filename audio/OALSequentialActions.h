#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "audio/OALAction.h"

// Runs its actions one after another on the same target, each over its share of the whole, which
// lasts the sum of their durations. Instant members run at once when reached, so a fade built as
// (gain action, call action) makes its call in the update in which the gain reaches its end. A
// stopped sequence never starts the members it has not reached. With a total of 0 every member
// runs at once.
class OALSequentialActions : public OALAction {
public:
    // A null action in the list throws NamedException "NSInvalidArgumentException".
    static RefPtr<OALSequentialActions> actions(std::initializer_list<RefPtr<OALAction>> actions);
    static RefPtr<OALSequentialActions> actionsFromArray(std::vector<RefPtr<OALAction>> actions);
    explicit OALSequentialActions(std::vector<RefPtr<OALAction>> actions);

    // Prepares every member, sums the durations and makes the first member current.
    void prepareWithTarget(OALActionTarget* target) override;
    // Starts or stops the current member, then the base step.
    void startAction() override;
    void stopAction() override;
    // Finishes (updates with 1 when it has a duration, then stops) every member the fraction has
    // passed, starting the next each time, then updates the current one with its own fraction.
    void updateCompletion(float proportionComplete) override;

private:
    const std::vector<RefPtr<OALAction>> actions_;
    std::vector<float> pDurations_;      // each member's share of the total, 0..1; all 0 for a total of 0
    uint32_t actionIndex_ = 0;           // of the current member
    OALAction* currentAction_ = nullptr; // one of actions_; null for an empty sequence
    float pLastComplete_ = 0;            // the fraction of the previous update
    float pCurrentActionDuration_ = 0;   // the current member's share
    float pCurrentActionComplete_ = 0;   // how much of that share has passed
};
