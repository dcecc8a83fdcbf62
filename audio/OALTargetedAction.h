#pragma once

#include "audio/OALAction.h"

// Runs an inner action on a fixed target of its own, whatever target the targeted action is run
// with; the manager still steps it under the target it was run with.
class OALTargetedAction : public OALAction {
public:
    // `forcedTarget` is not retained. A null target or action throws NamedException
    // "NSInvalidArgumentException".
    static RefPtr<OALTargetedAction> actionWithTarget(OALActionTarget* forcedTarget, RefPtr<OALAction> action);
    OALTargetedAction(OALActionTarget* forcedTarget, RefPtr<OALAction> action);

    // Prepares the inner action against the forced target and takes its duration.
    void prepareWithTarget(OALActionTarget* target) override;
    // The base step, then the inner action's.
    void startAction() override;
    void updateCompletion(float proportionComplete) override;
    void stopAction() override;

private:
    OALActionTarget* const forcedTarget_;  // not retained
    const RefPtr<OALAction> action_;
};
