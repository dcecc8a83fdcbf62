#include "engine/actions/interval/CCJumpBy.h"

#include <cmath>

#include "engine/core/CCNode.h"

RefPtr<CCJumpBy> CCJumpBy::actionWithDuration(float duration, CGPoint position, float height, uint64_t jumps) {
    RefPtr<CCJumpBy> action = makeRef<CCJumpBy>();
    action->initWithDuration(duration, position, height, jumps);
    return action;
}

bool CCJumpBy::initWithDuration(float duration, CGPoint position, float height, uint64_t jumps) {
    CCActionInterval::initWithDuration(duration);
    delta_ = position;
    height_ = height;
    jumps_ = jumps;
    return true;
}

RefPtr<CCJumpBy> CCJumpBy::makeWith(CGPoint position) const {
    RefPtr<CCJumpBy> action(makeEmptyCopy());
    action->initWithDuration(duration_, position, height_, jumps_);
    return action;
}

RefPtr<CCAction> CCJumpBy::copy() const {
    return makeWith(delta_);
}

RefPtr<CCFiniteTimeAction> CCJumpBy::reverse() const {
    return makeWith({-delta_.x, -delta_.y});
}

void CCJumpBy::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    startPosition_ = node_->position();
    offset_ = delta_;
}

void CCJumpBy::update(float t) {
    if (!node_) return;
    const float frac = std::fmod(t * static_cast<float>(jumps_), 1.0f);
    const float lift = height_ * 4 * frac * (1 - frac);
    node_->setPosition({startPosition_.x + offset_.x * t, startPosition_.y + lift + offset_.y * t});
}
