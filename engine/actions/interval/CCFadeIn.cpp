#include "engine/actions/interval/CCFadeIn.h"

#include "engine/actions/interval/CCFadeOut.h"
#include "engine/actions/interval/ccPropertyActionMath.h"
#include "engine/core/CCRGBAProtocol.h"

RefPtr<CCFadeIn> CCFadeIn::actionWithDuration(float duration) {
    RefPtr<CCFadeIn> action = makeRef<CCFadeIn>();
    action->initWithDuration(duration);
    return action;
}

void CCFadeIn::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = dynamic_cast<CCRGBAProtocol*>(target);
}

void CCFadeIn::update(float t) {
    if (rgba_) rgba_->setOpacity(ccByteClamped(t * 255));
}

RefPtr<CCFiniteTimeAction> CCFadeIn::reverse() const {
    return CCFadeOut::actionWithDuration(duration_);
}
