#include "engine/actions/interval/CCMoveBy.h"

RefPtr<CCMoveBy> CCMoveBy::actionWithDuration(float duration, CGPoint amount) {
    RefPtr<CCMoveBy> action = makeRef<CCMoveBy>();
    action->initWithDuration(duration, amount);
    return action;
}

bool CCMoveBy::initWithDuration(float duration, CGPoint amount) {
    CCActionInterval::initWithDuration(duration);
    delta_ = amount;
    return true;
}

RefPtr<CCMoveBy> CCMoveBy::makeWith(CGPoint amount) const {
    RefPtr<CCMoveBy> action(makeEmptyCopy());
    action->initWithDuration(duration_, amount);
    return action;
}

RefPtr<CCAction> CCMoveBy::copy() const {
    return makeWith(delta_);
}

RefPtr<CCFiniteTimeAction> CCMoveBy::reverse() const {
    return makeWith({-delta_.x, -delta_.y});
}

void CCMoveBy::startWithTarget(Object* target) {
    // The move-to start overwrites delta_ with end - start; the amount is kept.
    const CGPoint amount = delta_;
    CCMoveTo::startWithTarget(target);
    delta_ = amount;
}
