#include "engine/actions/composite/CCSpeed.h"

#include "platform/foundation/NamedException.h"

RefPtr<CCSpeed> CCSpeed::actionWithAction(RefPtr<CCActionInterval> action, float speed) {
    RefPtr<CCSpeed> scaled = makeRef<CCSpeed>();
    scaled->initWithAction(std::move(action), speed);
    return scaled;
}

bool CCSpeed::initWithAction(RefPtr<CCActionInterval> action, float speed) {
    CCAction::init();
    setInnerAction(std::move(action));
    speed_ = speed;
    return true;
}

void CCSpeed::setInnerAction(RefPtr<CCActionInterval> action) {
    CC_REQUIRE(action, "NSInvalidArgumentException", "a speed action needs an interval action");
    innerAction_ = std::move(action);
}

RefPtr<CCAction> CCSpeed::copy() const {
    RefPtr<CCSpeed> copy(makeEmptyCopy());
    copy->initWithAction(refCast<CCActionInterval>(innerAction_->copy()), speed_);
    return copy;
}

RefPtr<CCSpeed> CCSpeed::reverse() const {
    return actionWithAction(refCast<CCActionInterval>(innerAction_->reverse()), speed_);
}

void CCSpeed::startWithTarget(Object* target) {
    CCAction::startWithTarget(target);
    innerAction_->startWithTarget(target);
}

void CCSpeed::stop() {
    innerAction_->stop();
    CCAction::stop();
}

bool CCSpeed::isDone() const {
    return innerAction_->isDone();
}

void CCSpeed::step(float dt) {
    innerAction_->step(dt * speed_);
}
