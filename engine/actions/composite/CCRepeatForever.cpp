#include "engine/actions/composite/CCRepeatForever.h"

#include "platform/foundation/NamedException.h"

RefPtr<CCRepeatForever> CCRepeatForever::actionWithAction(RefPtr<CCActionInterval> action) {
    RefPtr<CCRepeatForever> repeat = makeRef<CCRepeatForever>();
    repeat->initWithAction(std::move(action));
    return repeat;
}

bool CCRepeatForever::initWithAction(RefPtr<CCActionInterval> action) {
    CCAction::init();
    setInnerAction(std::move(action));
    return true;
}

void CCRepeatForever::setInnerAction(RefPtr<CCActionInterval> action) {
    CC_REQUIRE(action, "NSInvalidArgumentException", "a repeat-forever needs an interval action");
    innerAction_ = std::move(action);
}

RefPtr<CCAction> CCRepeatForever::copy() const {
    RefPtr<CCRepeatForever> copy(makeEmptyCopy());
    copy->initWithAction(refCast<CCActionInterval>(innerAction_->copy()));
    return copy;
}

RefPtr<CCRepeatForever> CCRepeatForever::reverse() const {
    return actionWithAction(refCast<CCActionInterval>(innerAction_->reverse()));
}

void CCRepeatForever::startWithTarget(Object* target) {
    CCAction::startWithTarget(target);
    innerAction_->startWithTarget(target);
}

void CCRepeatForever::step(float dt) {
    innerAction_->step(dt);
    if (!innerAction_->isDone()) return;
    const float overshoot = innerAction_->elapsed() - innerAction_->duration();
    innerAction_->startWithTarget(target_);
    innerAction_->step(0);  // a start's first step shows progress 0 and adds no time
    innerAction_->step(overshoot);
}
