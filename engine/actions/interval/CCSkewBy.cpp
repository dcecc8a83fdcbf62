#include "engine/actions/interval/CCSkewBy.h"

RefPtr<CCSkewBy> CCSkewBy::actionWithDuration(float duration, float deltaSkewX, float deltaSkewY) {
    RefPtr<CCSkewBy> action = makeRef<CCSkewBy>();
    action->initWithDuration(duration, deltaSkewX, deltaSkewY);
    return action;
}

bool CCSkewBy::initWithDuration(float duration, float deltaSkewX, float deltaSkewY) {
    CCSkewTo::initWithDuration(duration, deltaSkewX, deltaSkewY);
    skewX_ = deltaSkewX;
    skewY_ = deltaSkewY;
    return true;
}

RefPtr<CCSkewBy> CCSkewBy::makeWith(float deltaSkewX, float deltaSkewY) const {
    RefPtr<CCSkewBy> action(makeEmptyCopy());
    action->initWithDuration(duration_, deltaSkewX, deltaSkewY);
    return action;
}

RefPtr<CCAction> CCSkewBy::copy() const {
    return makeWith(skewX_, skewY_);
}

RefPtr<CCFiniteTimeAction> CCSkewBy::reverse() const {
    return makeWith(-skewX_, -skewY_);
}

void CCSkewBy::startWithTarget(Object* target) {
    CCSkewTo::startWithTarget(target);
    deltaX_ = skewX_;
    deltaY_ = skewY_;
    endSkewX_ = startSkewX_ + skewX_;
    endSkewY_ = startSkewY_ + skewY_;
}
