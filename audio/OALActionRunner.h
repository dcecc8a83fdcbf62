#pragma once

#include <functional>

#include "audio/OALAction.h"

class OALActionTarget;
class OALPropertyAction;

// The one running change of one property (gain, pan or pitch) of a source or a track, kept in a
// slot of the target's: a new change replaces the one in the slot, whose callback is then never
// made. The target holds its own lock around both operations.
class OALActionRunner {
public:
    OALActionRunner() = delete;

    // Stops the action in `slot`, then runs `change` followed by `onComplete` (may be empty; called
    // with the target when the change reaches its end) on `target` (not retained), kept in `slot`.
    template <class Target>
    static void run(RefPtr<OALAction>& slot, Target* target, RefPtr<OALPropertyAction> change,
                    std::function<void(Target*)> onComplete) {
        std::function<void()> call;
        if (onComplete) call = [target, onComplete = std::move(onComplete)] { onComplete(target); };
        runSequence(slot, target, std::move(change), std::move(call));
    }

    // Stops the action in `slot` where it is, without its callback, and empties the slot.
    static void stop(RefPtr<OALAction>& slot);

private:
    static void runSequence(RefPtr<OALAction>& slot, OALActionTarget* target, RefPtr<OALPropertyAction> change,
                            std::function<void()> onComplete);
};
