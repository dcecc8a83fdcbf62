#include "audio/OALTargetedAction.h"

#include "platform/foundation/NamedException.h"

RefPtr<OALTargetedAction> OALTargetedAction::actionWithTarget(OALActionTarget* forcedTarget,
                                                              RefPtr<OALAction> action) {
    return makeRef<OALTargetedAction>(forcedTarget, std::move(action));
}

OALTargetedAction::OALTargetedAction(OALActionTarget* forcedTarget, RefPtr<OALAction> action)
    : OALAction(action ? action->duration() : 0), forcedTarget_(forcedTarget), action_(std::move(action)) {
    CC_REQUIRE(forcedTarget_ && action_, "NSInvalidArgumentException", "OALTargetedAction: no %s",
               forcedTarget_ ? "action" : "target");
}

void OALTargetedAction::prepareWithTarget(OALActionTarget* target) {
    action_->prepareWithTarget(forcedTarget_);
    duration_ = action_->duration();
    OALAction::prepareWithTarget(target);
}

void OALTargetedAction::startAction() {
    OALAction::startAction();
    action_->startAction();
}

void OALTargetedAction::updateCompletion(float proportionComplete) {
    action_->updateCompletion(proportionComplete);
}

void OALTargetedAction::stopAction() {
    OALAction::stopAction();
    action_->stopAction();
}
