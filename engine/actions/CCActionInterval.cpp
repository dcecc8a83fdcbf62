#include "engine/actions/CCActionInterval.h"

#include <algorithm>
#include <cfloat>

RefPtr<CCActionInterval> CCActionInterval::actionWithDuration(float duration) {
    RefPtr<CCActionInterval> action = makeRef<CCActionInterval>();
    action->initWithDuration(duration);
    return action;
}

bool CCActionInterval::init() {
    return false;
}

bool CCActionInterval::initWithDuration(float duration) {
    CCFiniteTimeAction::init();
    duration_ = duration == 0 ? FLT_EPSILON : duration;
    elapsed_ = 0;
    firstTick_ = true;
    return true;
}

RefPtr<CCAction> CCActionInterval::copy() const {
    RefPtr<CCActionInterval> copy(makeEmptyCopy());
    copy->initWithDuration(duration_);
    return copy;
}

void CCActionInterval::startWithTarget(Object* target) {
    CCFiniteTimeAction::startWithTarget(target);
    elapsed_ = 0;
    firstTick_ = true;
}

bool CCActionInterval::isDone() const {
    return elapsed_ >= duration_;
}

void CCActionInterval::step(float dt) {
    if (firstTick_) {
        firstTick_ = false;
        elapsed_ = 0;
    } else {
        // Time never runs backwards: a negative dt would send a sequence back into a part it has
        // finished and stopped, which it would then start, and call, a second time.
        elapsed_ += std::max(dt, 0.0f);
    }
    const float progress = std::max(std::min(elapsed_ / std::max(duration_, FLT_EPSILON), 1.0f), 0.0f);
    update(progress);
}
