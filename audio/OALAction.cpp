#include "audio/OALAction.h"

#include "audio/OALActionManager.h"
#include "platform/foundation/NamedException.h"

void OALAction::runWithTarget(OALActionTarget* target) {
    CC_REQUIRE(target, "NSInvalidArgumentException", "OALAction: run without a target");
    prepareWithTarget(target);
    startAction();
    updateCompletion(0);
    if (duration_ > 0) {
        runningInManager_.store(true, std::memory_order_release);
        OALActionManager::sharedInstance()->notifyActionStarted(RefPtr<OALAction>(this));
    } else {
        stopAction();
    }
}

void OALAction::prepareWithTarget(OALActionTarget* target) { target_ = target; }

void OALAction::startAction() {
    elapsed_ = 0;
    running_.store(true, std::memory_order_release);
}

void OALAction::updateCompletion(float) {}

void OALAction::stopAction() {
    running_.store(false, std::memory_order_release);
    if (runningInManager_.exchange(false, std::memory_order_acq_rel)) {
        OALActionManager::sharedInstance()->notifyActionStopped(RefPtr<OALAction>(this));
    }
}
