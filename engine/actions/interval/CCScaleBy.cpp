#include "engine/actions/interval/CCScaleBy.h"

RefPtr<CCScaleBy> CCScaleBy::actionWithDuration(float duration, float scale) {
    return actionWithDuration(duration, scale, scale);
}

RefPtr<CCScaleBy> CCScaleBy::actionWithDuration(float duration, float scaleX, float scaleY) {
    RefPtr<CCScaleBy> action = makeRef<CCScaleBy>();
    action->initWithDuration(duration, scaleX, scaleY);
    return action;
}

void CCScaleBy::startWithTarget(Object* target) {
    CCScaleTo::startWithTarget(target);
    deltaX_ = startScaleX_ * endScaleX_ - startScaleX_;
    deltaY_ = startScaleY_ * endScaleY_ - startScaleY_;
}

RefPtr<CCFiniteTimeAction> CCScaleBy::reverse() const {
    RefPtr<CCScaleBy> action(makeEmptyCopy());
    action->initWithDuration(duration_, 1 / endScaleX_, 1 / endScaleY_);
    return action;
}
