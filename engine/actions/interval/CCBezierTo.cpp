#include "engine/actions/interval/CCBezierTo.h"

RefPtr<CCBezierTo> CCBezierTo::actionWithDuration(float duration, const ccBezierConfig& bezier) {
    RefPtr<CCBezierTo> action = makeRef<CCBezierTo>();
    action->initWithDuration(duration, bezier);
    return action;
}

void CCBezierTo::startWithTarget(Object* target) {
    CCBezierBy::startWithTarget(target);
    const CGPoint start = startPosition_;
    for (CGPoint* point : {&offsets_.endPosition, &offsets_.controlPoint_1, &offsets_.controlPoint_2}) {
        *point = {point->x - start.x, point->y - start.y};
    }
}
