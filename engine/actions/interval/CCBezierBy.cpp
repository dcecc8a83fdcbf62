#include "engine/actions/interval/CCBezierBy.h"

#include "engine/core/CCNode.h"

namespace {

// One coordinate of the cubic from 0 through controls b and c to d, in single precision.
float bezierAt(float b, float c, float d, float t) {
    const float u = 1 - t;
    return 3 * t * u * u * b + 3 * t * t * u * c + t * t * t * d;
}

}  // namespace

RefPtr<CCBezierBy> CCBezierBy::actionWithDuration(float duration, const ccBezierConfig& bezier) {
    RefPtr<CCBezierBy> action = makeRef<CCBezierBy>();
    action->initWithDuration(duration, bezier);
    return action;
}

bool CCBezierBy::initWithDuration(float duration, const ccBezierConfig& bezier) {
    CCActionInterval::initWithDuration(duration);
    config_ = bezier;
    return true;
}

RefPtr<CCBezierBy> CCBezierBy::makeWith(const ccBezierConfig& bezier) const {
    RefPtr<CCBezierBy> action(makeEmptyCopy());
    action->initWithDuration(duration_, bezier);
    return action;
}

RefPtr<CCAction> CCBezierBy::copy() const {
    return makeWith(config_);
}

RefPtr<CCFiniteTimeAction> CCBezierBy::reverse() const {
    const CGPoint end = config_.endPosition;
    const CGPoint c1 = config_.controlPoint_1;
    const CGPoint c2 = config_.controlPoint_2;
    return makeWith({{-end.x, -end.y}, {c2.x - end.x, c2.y - end.y}, {c1.x - end.x, c1.y - end.y}});
}

void CCBezierBy::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    startPosition_ = node_->position();
    offsets_ = config_;
}

void CCBezierBy::update(float t) {
    if (!node_) return;
    const ccBezierConfig& c = offsets_;
    const float x = bezierAt(static_cast<float>(c.controlPoint_1.x), static_cast<float>(c.controlPoint_2.x),
                             static_cast<float>(c.endPosition.x), t);
    const float y = bezierAt(static_cast<float>(c.controlPoint_1.y), static_cast<float>(c.controlPoint_2.y),
                             static_cast<float>(c.endPosition.y), t);
    node_->setPosition({startPosition_.x + x, startPosition_.y + y});
}
