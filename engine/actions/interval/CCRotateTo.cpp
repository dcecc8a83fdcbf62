#include "engine/actions/interval/CCRotateTo.h"

#include <cmath>

#include "engine/actions/interval/ccPropertyActionMath.h"
#include "engine/core/CCNode.h"

RefPtr<CCRotateTo> CCRotateTo::actionWithDuration(float duration, float angle) {
    return actionWithDuration(duration, angle, angle);
}

RefPtr<CCRotateTo> CCRotateTo::actionWithDuration(float duration, float angleX, float angleY) {
    RefPtr<CCRotateTo> action = makeRef<CCRotateTo>();
    action->initWithDuration(duration, angleX, angleY);
    return action;
}

bool CCRotateTo::initWithDuration(float duration, float angle) {
    return initWithDuration(duration, angle, angle);
}

bool CCRotateTo::initWithDuration(float duration, float angleX, float angleY) {
    CCActionInterval::initWithDuration(duration);
    dstAngleX_ = angleX;
    dstAngleY_ = angleY;
    return true;
}

RefPtr<CCAction> CCRotateTo::copy() const {
    RefPtr<CCRotateTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, dstAngleX_, dstAngleY_);
    return copy;
}

void CCRotateTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    startAngleX_ = node_->rotationX();
    startAngleY_ = std::fmod(node_->rotationY(), 360.0f);
    diffAngleX_ = ccShortestTurn(startAngleX_, dstAngleX_);
    diffAngleY_ = ccShortestTurn(startAngleY_, dstAngleY_);
}

void CCRotateTo::update(float t) {
    if (!node_) return;
    node_->setRotationX(startAngleX_ + diffAngleX_ * t);
    node_->setRotationY(startAngleY_ + diffAngleY_ * t);
}
