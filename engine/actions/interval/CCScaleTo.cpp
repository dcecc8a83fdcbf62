#include "engine/actions/interval/CCScaleTo.h"

#include "engine/core/CCNode.h"

RefPtr<CCScaleTo> CCScaleTo::actionWithDuration(float duration, float scale) {
    return actionWithDuration(duration, scale, scale);
}

RefPtr<CCScaleTo> CCScaleTo::actionWithDuration(float duration, float scaleX, float scaleY) {
    RefPtr<CCScaleTo> action = makeRef<CCScaleTo>();
    action->initWithDuration(duration, scaleX, scaleY);
    return action;
}

bool CCScaleTo::initWithDuration(float duration, float scale) {
    return initWithDuration(duration, scale, scale);
}

bool CCScaleTo::initWithDuration(float duration, float scaleX, float scaleY) {
    CCActionInterval::initWithDuration(duration);
    endScaleX_ = scaleX;
    endScaleY_ = scaleY;
    return true;
}

RefPtr<CCAction> CCScaleTo::copy() const {
    RefPtr<CCScaleTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, endScaleX_, endScaleY_);
    return copy;
}

void CCScaleTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    startScaleX_ = node_->scaleX();
    startScaleY_ = node_->scaleY();
    deltaX_ = endScaleX_ - startScaleX_;
    deltaY_ = endScaleY_ - startScaleY_;
}

void CCScaleTo::update(float t) {
    if (!node_) return;
    node_->setScaleX(startScaleX_ + deltaX_ * t);
    node_->setScaleY(startScaleY_ + deltaY_ * t);
}
