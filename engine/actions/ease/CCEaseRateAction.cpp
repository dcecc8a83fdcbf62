#include "engine/actions/ease/CCEaseRateAction.h"

bool CCEaseRateAction::initWithAction(RefPtr<CCActionInterval> action, float rate) {
    CCActionEase::initWithAction(std::move(action));
    rate_ = rate;
    return true;
}

RefPtr<CCAction> CCEaseRateAction::copy() const {
    RefPtr<CCEaseRateAction> copy(makeEmptyCopy());
    copy->initWithAction(otherCopy(), rate_);
    return copy;
}

RefPtr<CCFiniteTimeAction> CCEaseRateAction::reverseWithRate(float rate) const {
    RefPtr<CCActionInterval> reversed = otherReverse();
    if (!reversed) return nullptr;
    RefPtr<CCEaseRateAction> ease(makeEmptyCopy());
    ease->initWithAction(std::move(reversed), rate);
    return ease;
}

RefPtr<CCFiniteTimeAction> CCEaseRateAction::reverse() const {
    return reverseWithRate(1 / rate_);
}
