#include "engine/actions/ease/CCEaseElastic.h"

bool CCEaseElastic::initWithAction(RefPtr<CCActionInterval> action, float period) {
    CCActionEase::initWithAction(std::move(action));
    period_ = period;
    return true;
}

RefPtr<CCAction> CCEaseElastic::copy() const {
    RefPtr<CCEaseElastic> copy(makeEmptyCopy());
    copy->initWithAction(otherCopy(), period_);
    return copy;
}

RefPtr<CCFiniteTimeAction> CCEaseElastic::reverse() const {
    return nullptr;
}

float CCEaseElastic::periodOr(float replacement) {
    if (period_ == 0) period_ = replacement;
    return period_;
}
