#include "engine/actions/interval/CCRotateBy.h"

#include "engine/core/CCNode.h"

RefPtr<CCRotateBy> CCRotateBy::actionWithDuration(float duration, float angle) {
    return actionWithDuration(duration, angle, angle);
}

RefPtr<CCRotateBy> CCRotateBy::actionWithDuration(float duration, float angleX, float angleY) {
    RefPtr<CCRotateBy> action = makeRef<CCRotateBy>();
    action->initWithDuration(duration, angleX, angleY);
    return action;
}

bool CCRotateBy::initWithDuration(float duration, float angle) {
    return initWithDuration(duration, angle, angle);
}

bool CCRotateBy::initWithDuration(float duration, float angleX, float angleY) {
    CCActionInterval::initWithDuration(duration);
    angleX_ = angleX;
    angleY_ = angleY;
    return true;
}

RefPtr<CCRotateBy> CCRotateBy::makeWith(float angleX, float angleY) const {
    RefPtr<CCRotateBy> action(makeEmptyCopy());
    action->initWithDuration(duration_, angleX, angleY);
    return action;
}

RefPtr<CCAction> CCRotateBy::copy() const {
    return makeWith(angleX_, angleY_);
}

RefPtr<CCFiniteTimeAction> CCRotateBy::reverse() const {
    return makeWith(-angleX_, -angleY_);
}

void CCRotateBy::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    startAngleX_ = node_->rotationX();
    startAngleY_ = node_->rotationY();
}

void CCRotateBy::update(float t) {
    if (!node_) return;
    node_->setRotationX(startAngleX_ + angleX_ * t);
    node_->setRotationY(startAngleY_ + angleY_ * t);
}
