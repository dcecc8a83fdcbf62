#include "audio/OALActionRunner.h"

#include "audio/OALCallAction.h"
#include "audio/OALPropertyAction.h"
#include "audio/OALSequentialActions.h"

void OALActionRunner::stop(RefPtr<OALAction>& slot) {
    if (const RefPtr<OALAction> action = std::move(slot)) action->stopAction();
}

void OALActionRunner::runSequence(RefPtr<OALAction>& slot, OALActionTarget* target, RefPtr<OALPropertyAction> change,
                                  std::function<void()> onComplete) {
    stop(slot);
    slot = OALSequentialActions::actions({std::move(change), makeRef<OALCallAction>(std::move(onComplete))});
    // Held here: a change of no length ends at once, and its callback may start the next one,
    // replacing the slot's action.
    const RefPtr<OALAction> action = slot;
    action->runWithTarget(target);
}
