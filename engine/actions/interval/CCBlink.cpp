#include "engine/actions/interval/CCBlink.h"

#include <cmath>

#include "engine/core/CCNode.h"

RefPtr<CCBlink> CCBlink::actionWithDuration(float duration, uint64_t blinks) {
    RefPtr<CCBlink> action = makeRef<CCBlink>();
    action->initWithDuration(duration, blinks);
    return action;
}

bool CCBlink::initWithDuration(float duration, uint64_t blinks) {
    CCActionInterval::initWithDuration(duration);
    times_ = blinks;
    return true;
}

RefPtr<CCBlink> CCBlink::makeCopy() const {
    RefPtr<CCBlink> action(makeEmptyCopy());
    action->initWithDuration(duration_, times_);
    return action;
}

RefPtr<CCAction> CCBlink::copy() const {
    return makeCopy();
}

RefPtr<CCFiniteTimeAction> CCBlink::reverse() const {
    return makeCopy();
}

void CCBlink::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCBlink::update(float t) {
    if (!node_ || times_ == 0 || isDone()) return;
    const float slice = 1.0f / static_cast<float>(times_);
    node_->setVisible(std::fmod(t, slice) > slice / 2);
}
