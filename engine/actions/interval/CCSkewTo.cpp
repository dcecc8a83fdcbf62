#include "engine/actions/interval/CCSkewTo.h"

#include <cmath>

#include "engine/actions/interval/ccPropertyActionMath.h"
#include "engine/core/CCNode.h"

RefPtr<CCSkewTo> CCSkewTo::actionWithDuration(float duration, float skewX, float skewY) {
    RefPtr<CCSkewTo> action = makeRef<CCSkewTo>();
    action->initWithDuration(duration, skewX, skewY);
    return action;
}

bool CCSkewTo::initWithDuration(float duration, float skewX, float skewY) {
    CCActionInterval::initWithDuration(duration);
    endSkewX_ = skewX;
    endSkewY_ = skewY;
    return true;
}

RefPtr<CCAction> CCSkewTo::copy() const {
    RefPtr<CCSkewTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, endSkewX_, endSkewY_);
    return copy;
}

void CCSkewTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    startSkewX_ = std::fmod(node_->skewX(), 180.0f);
    startSkewY_ = std::fmod(node_->skewY(), 360.0f);
    deltaX_ = ccShortestTurn(startSkewX_, endSkewX_);
    deltaY_ = ccShortestTurn(startSkewY_, endSkewY_);
}

void CCSkewTo::update(float t) {
    if (!node_) return;
    node_->setSkewX(startSkewX_ + deltaX_ * t);
    node_->setSkewY(startSkewY_ + deltaY_ * t);
}
