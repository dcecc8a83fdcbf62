#include "engine/actions/composite/CCReverseTime.h"

#include "engine/actions/CCActionInstant.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCReverseTime> CCReverseTime::actionWithAction(RefPtr<CCFiniteTimeAction> action) {
    RefPtr<CCReverseTime> reversed = makeRef<CCReverseTime>();
    reversed->initWithAction(std::move(action));
    return reversed;
}

bool CCReverseTime::initWithAction(RefPtr<CCFiniteTimeAction> action) {
    CC_REQUIRE(action, "NSInvalidArgumentException", "a reverse-time action needs an action");
    initWithDuration(action->duration());
    otherIsInstant_ = dynamic_cast<const CCActionInstant*>(action.get()) != nullptr;
    other_ = std::move(action);
    return true;
}

RefPtr<CCAction> CCReverseTime::copy() const {
    RefPtr<CCReverseTime> copy(makeEmptyCopy());
    copy->initWithAction(refCast<CCFiniteTimeAction>(other_->copy()));
    return copy;
}

RefPtr<CCFiniteTimeAction> CCReverseTime::reverse() const {
    return refCast<CCFiniteTimeAction>(other_->copy());
}

void CCReverseTime::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    instantApplied_ = false;
    other_->startWithTarget(target);
}

void CCReverseTime::stop() {
    other_->stop();
    CCActionInterval::stop();
}

void CCReverseTime::update(float t) {
    if (otherIsInstant_) {
        if (instantApplied_) return;
        instantApplied_ = true;
    }
    other_->update(1 - t);
}
