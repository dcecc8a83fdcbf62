#include "engine/actions/interval/CCProgressFromTo.h"

#include "engine/render/CCProgressTimer.h"

RefPtr<CCProgressFromTo> CCProgressFromTo::actionWithDuration(float duration, float from, float to) {
    RefPtr<CCProgressFromTo> action = makeRef<CCProgressFromTo>();
    action->initWithDuration(duration, from, to);
    return action;
}

bool CCProgressFromTo::initWithDuration(float duration, float from, float to) {
    CCActionInterval::initWithDuration(duration);
    from_ = from;
    to_ = to;
    return true;
}

RefPtr<CCAction> CCProgressFromTo::copy() const {
    RefPtr<CCProgressFromTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, from_, to_);
    return copy;
}

RefPtr<CCFiniteTimeAction> CCProgressFromTo::reverse() const { return actionWithDuration(duration_, to_, from_); }

void CCProgressFromTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    timer_ = dynamic_cast<CCProgressTimer*>(target);
}

void CCProgressFromTo::update(float t) {
    if (timer_) timer_->setPercentage(from_ + (to_ - from_) * t);
}
