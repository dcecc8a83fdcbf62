#include "engine/actions/interval/CCFadeOut.h"

#include "engine/actions/interval/CCFadeIn.h"
#include "engine/actions/interval/ccPropertyActionMath.h"
#include "engine/core/CCRGBAProtocol.h"

RefPtr<CCFadeOut> CCFadeOut::actionWithDuration(float duration) {
    RefPtr<CCFadeOut> action = makeRef<CCFadeOut>();
    action->initWithDuration(duration);
    return action;
}

void CCFadeOut::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = dynamic_cast<CCRGBAProtocol*>(target);
}

void CCFadeOut::update(float t) {
    if (rgba_) rgba_->setOpacity(ccByteClamped((1 - t) * 255));
}

RefPtr<CCFiniteTimeAction> CCFadeOut::reverse() const {
    return CCFadeIn::actionWithDuration(duration_);
}
