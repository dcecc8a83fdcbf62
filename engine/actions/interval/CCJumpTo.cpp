#include "engine/actions/interval/CCJumpTo.h"

RefPtr<CCJumpTo> CCJumpTo::actionWithDuration(float duration, CGPoint position, float height, uint64_t jumps) {
    RefPtr<CCJumpTo> action = makeRef<CCJumpTo>();
    action->initWithDuration(duration, position, height, jumps);
    return action;
}

void CCJumpTo::startWithTarget(Object* target) {
    CCJumpBy::startWithTarget(target);
    offset_ = {delta_.x - startPosition_.x, delta_.y - startPosition_.y};
}
