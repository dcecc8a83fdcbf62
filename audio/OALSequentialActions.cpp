#include "audio/OALSequentialActions.h"

#include <algorithm>

#include "platform/foundation/NamedException.h"

RefPtr<OALSequentialActions> OALSequentialActions::actions(std::initializer_list<RefPtr<OALAction>> actions) {
    return makeRef<OALSequentialActions>(std::vector<RefPtr<OALAction>>(actions));
}

RefPtr<OALSequentialActions> OALSequentialActions::actionsFromArray(std::vector<RefPtr<OALAction>> actions) {
    return makeRef<OALSequentialActions>(std::move(actions));
}

OALSequentialActions::OALSequentialActions(std::vector<RefPtr<OALAction>> actions) : actions_(std::move(actions)) {
    CC_REQUIRE(std::find(actions_.begin(), actions_.end(), nullptr) == actions_.end(), "NSInvalidArgumentException",
               "OALSequentialActions: a null action");
}

void OALSequentialActions::prepareWithTarget(OALActionTarget* target) {
    duration_ = 0;
    for (const RefPtr<OALAction>& action : actions_) {
        action->prepareWithTarget(target);
        duration_ += action->duration();
    }
    pDurations_.clear();
    for (const RefPtr<OALAction>& action : actions_) {
        pDurations_.push_back(duration_ == 0 ? 0 : action->duration() / duration_);
    }
    currentAction_ = actions_.empty() ? nullptr : actions_.front().get();
    pCurrentActionDuration_ = actions_.empty() ? 0 : pDurations_.front();
    actionIndex_ = 0;
    pLastComplete_ = 0;
    pCurrentActionComplete_ = 0;
    OALAction::prepareWithTarget(target);
}

void OALSequentialActions::startAction() {
    if (currentAction_) currentAction_->startAction();
    OALAction::startAction();
}

void OALSequentialActions::stopAction() {
    if (currentAction_) currentAction_->stopAction();
    OALAction::stopAction();
}

void OALSequentialActions::updateCompletion(float proportionComplete) {
    if (!currentAction_) return;
    float step = proportionComplete - pLastComplete_;
    float complete = pCurrentActionComplete_ + step;
    while (complete >= pCurrentActionDuration_) {
        if (currentAction_->duration() > 0) currentAction_->updateCompletion(1.0f);
        currentAction_->stopAction();
        if (++actionIndex_ >= actions_.size()) return;
        step -= pCurrentActionDuration_ - pCurrentActionComplete_;
        currentAction_ = actions_[actionIndex_].get();
        pCurrentActionDuration_ = pDurations_[actionIndex_];
        pCurrentActionComplete_ = 0;
        currentAction_->startAction();
        complete = step;
    }
    if (proportionComplete >= 1.0f) {
        currentAction_->updateCompletion(1.0f);
        currentAction_->stopAction();
    } else {
        pCurrentActionComplete_ = complete;
        currentAction_->updateCompletion(complete / pCurrentActionDuration_);
    }
    pLastComplete_ = proportionComplete;
}
