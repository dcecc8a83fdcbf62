#include "engine/actions/interval/CCMoveTo.h"

#include "engine/core/CCNode.h"

RefPtr<CCMoveTo> CCMoveTo::actionWithDuration(float duration, CGPoint position) {
    RefPtr<CCMoveTo> action = makeRef<CCMoveTo>();
    action->initWithDuration(duration, position);
    return action;
}

bool CCMoveTo::initWithDuration(float duration, CGPoint position) {
    CCActionInterval::initWithDuration(duration);
    endPosition_ = position;
    return true;
}

RefPtr<CCAction> CCMoveTo::copy() const {
    RefPtr<CCMoveTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, endPosition_);
    return copy;
}

void CCMoveTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    startPosition_ = node_->position();
    delta_ = {endPosition_.x - startPosition_.x, endPosition_.y - startPosition_.y};
}

void CCMoveTo::update(float t) {
    if (!node_) return;
    node_->setPosition({startPosition_.x + delta_.x * t, startPosition_.y + delta_.y * t});
}
