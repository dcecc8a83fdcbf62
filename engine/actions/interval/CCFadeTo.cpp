#include "engine/actions/interval/CCFadeTo.h"

#include "engine/actions/interval/ccPropertyActionMath.h"
#include "engine/core/CCRGBAProtocol.h"

RefPtr<CCFadeTo> CCFadeTo::actionWithDuration(float duration, uint8_t opacity) {
    RefPtr<CCFadeTo> action = makeRef<CCFadeTo>();
    action->initWithDuration(duration, opacity);
    return action;
}

bool CCFadeTo::initWithDuration(float duration, uint8_t opacity) {
    CCActionInterval::initWithDuration(duration);
    toOpacity_ = opacity;
    return true;
}

RefPtr<CCAction> CCFadeTo::copy() const {
    RefPtr<CCFadeTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, toOpacity_);
    return copy;
}

void CCFadeTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = dynamic_cast<CCRGBAProtocol*>(target);
    if (rgba_) fromOpacity_ = rgba_->opacity();
}

void CCFadeTo::update(float t) {
    if (rgba_) rgba_->setOpacity(ccByteClamped(fromOpacity_ + (toOpacity_ - fromOpacity_) * t));
}
