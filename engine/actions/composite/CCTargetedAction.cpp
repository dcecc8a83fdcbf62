#include "engine/actions/composite/CCTargetedAction.h"

#include "platform/foundation/NamedException.h"

RefPtr<CCTargetedAction> CCTargetedAction::actionWithTarget(RefPtr<Object> target,
                                                            RefPtr<CCFiniteTimeAction> action) {
    RefPtr<CCTargetedAction> targeted = makeRef<CCTargetedAction>();
    targeted->initWithTarget(std::move(target), std::move(action));
    return targeted;
}

bool CCTargetedAction::initWithTarget(RefPtr<Object> target, RefPtr<CCFiniteTimeAction> action) {
    CC_REQUIRE(action, "NSInvalidArgumentException", "a targeted action needs an action to run");
    initWithDuration(action->duration());
    setForcedTarget(std::move(target));
    action_ = std::move(action);
    return true;
}

void CCTargetedAction::setForcedTarget(RefPtr<Object> forcedTarget) {
    CC_REQUIRE(forcedTarget, "NSInvalidArgumentException", "a targeted action needs a target");
    forcedTarget_ = std::move(forcedTarget);
}

RefPtr<CCAction> CCTargetedAction::copy() const {
    if (!action_) return CCActionInterval::copy();  // never initialised
    RefPtr<CCTargetedAction> copy(makeEmptyCopy());
    copy->initWithTarget(forcedTarget_, refCast<CCFiniteTimeAction>(action_->copy()));
    return copy;
}

void CCTargetedAction::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(forcedTarget_.get());
    // The action manager files the action under the node it was run on and looks it up there
    // when that node stops it.
    originalTarget_ = target;
    if (action_) action_->startWithTarget(forcedTarget_.get());
}

void CCTargetedAction::stop() {
    if (action_) action_->stop();
    CCActionInterval::stop();
}

void CCTargetedAction::update(float t) {
    if (action_) action_->update(t);
}
