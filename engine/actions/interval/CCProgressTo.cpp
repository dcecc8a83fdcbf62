#include "engine/actions/interval/CCProgressTo.h"

#include "engine/render/CCProgressTimer.h"

RefPtr<CCProgressTo> CCProgressTo::actionWithDuration(float duration, float percent) {
    RefPtr<CCProgressTo> action = makeRef<CCProgressTo>();
    action->initWithDuration(duration, percent);
    return action;
}

bool CCProgressTo::initWithDuration(float duration, float percent) {
    CCActionInterval::initWithDuration(duration);
    to_ = percent;
    return true;
}

RefPtr<CCAction> CCProgressTo::copy() const {
    RefPtr<CCProgressTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, to_);
    return copy;
}

void CCProgressTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    timer_ = dynamic_cast<CCProgressTimer*>(target);
    if (!timer_) return;
    from_ = timer_->percentage();
    if (from_ == 100) from_ = 0;
}

void CCProgressTo::update(float t) {
    if (timer_) timer_->setPercentage(from_ + (to_ - from_) * t);
}
