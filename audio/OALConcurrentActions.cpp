#include "audio/OALConcurrentActions.h"

#include <algorithm>

#include "platform/foundation/NamedException.h"

RefPtr<OALConcurrentActions> OALConcurrentActions::actions(std::initializer_list<RefPtr<OALAction>> actions) {
    return makeRef<OALConcurrentActions>(std::vector<RefPtr<OALAction>>(actions));
}

RefPtr<OALConcurrentActions> OALConcurrentActions::actionsFromArray(std::vector<RefPtr<OALAction>> actions) {
    return makeRef<OALConcurrentActions>(std::move(actions));
}

OALConcurrentActions::OALConcurrentActions(std::vector<RefPtr<OALAction>> actions) : actions_(std::move(actions)) {
    CC_REQUIRE(std::find(actions_.begin(), actions_.end(), nullptr) == actions_.end(), "NSInvalidArgumentException",
               "OALConcurrentActions: a null action");
}

void OALConcurrentActions::prepareWithTarget(OALActionTarget* target) {
    actionsWithDuration_.clear();
    duration_ = 0;
    for (const RefPtr<OALAction>& action : actions_) {
        action->prepareWithTarget(target);
        if (action->duration() > 0) {
            actionsWithDuration_.push_back(action.get());
            duration_ = std::max(duration_, action->duration());
        }
    }
    pDurations_.clear();
    for (const OALAction* action : actionsWithDuration_) pDurations_.push_back(action->duration() / duration_);
    OALAction::prepareWithTarget(target);
}

void OALConcurrentActions::startAction() {
    for (const RefPtr<OALAction>& action : actions_) action->startAction();
    OALAction::startAction();
}

void OALConcurrentActions::stopAction() {
    for (const RefPtr<OALAction>& action : actions_) action->stopAction();
    OALAction::stopAction();
}

void OALConcurrentActions::updateCompletion(float proportionComplete) {
    if (proportionComplete == 0) {
        for (const RefPtr<OALAction>& action : actions_) action->updateCompletion(0);
        return;
    }
    for (size_t index = 0; index < actionsWithDuration_.size(); ++index) {
        actionsWithDuration_[index]->updateCompletion(std::min(1.0f, proportionComplete / pDurations_[index]));
    }
}
