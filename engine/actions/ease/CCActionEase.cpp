#include "engine/actions/ease/CCActionEase.h"

#include "platform/foundation/NamedException.h"

bool CCActionEase::initWithAction(RefPtr<CCActionInterval> action) {
    CC_REQUIRE(action, "CCActionEase", "an ease needs an interval action to wrap");
    CCActionInterval::initWithDuration(action->duration());
    other_ = std::move(action);
    return true;
}

RefPtr<CCActionInterval> CCActionEase::otherReverse() const {
    return refCast<CCActionInterval>(other_->reverse());
}

RefPtr<CCActionInterval> CCActionEase::otherCopy() const {
    return refCast<CCActionInterval>(other_->copy());
}

RefPtr<CCAction> CCActionEase::copy() const {
    RefPtr<CCActionEase> copy(makeEmptyCopy());
    copy->initWithAction(otherCopy());
    return copy;
}

RefPtr<CCFiniteTimeAction> CCActionEase::reverse() const {
    RefPtr<CCActionInterval> reversed = otherReverse();
    if (!reversed) return nullptr;
    RefPtr<CCActionEase> ease(makeEmptyCopy());
    ease->initWithAction(std::move(reversed));
    return ease;
}

void CCActionEase::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    other_->startWithTarget(target);
}

void CCActionEase::stop() {
    other_->stop();
    CCActionInterval::stop();
}

void CCActionEase::update(float t) {
    other_->update(t);
}
