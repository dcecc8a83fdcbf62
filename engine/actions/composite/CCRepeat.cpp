#include "engine/actions/composite/CCRepeat.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "engine/actions/CCActionInstant.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCRepeat> CCRepeat::actionWithAction(RefPtr<CCFiniteTimeAction> action, uint64_t times) {
    RefPtr<CCRepeat> repeat = makeRef<CCRepeat>();
    repeat->initWithAction(std::move(action), times);
    return repeat;
}

bool CCRepeat::initWithAction(RefPtr<CCFiniteTimeAction> action, uint64_t times) {
    CC_REQUIRE(action, "NSInvalidArgumentException", "a repeat needs an action");
    initWithDuration(action->duration() * static_cast<float>(times));
    givenTimes_ = times;
    isActionInstant_ = dynamic_cast<CCActionInstant*>(action.get()) != nullptr;
    // Unsigned: a count of 0 must stay 0, or the runs would never end.
    times_ = isActionInstant_ && times > 0 ? times - 1 : times;
    total_ = 0;
    setInnerAction(std::move(action));
    return true;
}

void CCRepeat::setInnerAction(RefPtr<CCFiniteTimeAction> action) {
    CC_REQUIRE(action, "NSInvalidArgumentException", "a repeat needs an action");
    innerAction_ = std::move(action);
}

RefPtr<CCRepeat> CCRepeat::makeLike(RefPtr<CCFiniteTimeAction> action) const {
    RefPtr<CCRepeat> repeat(makeEmptyCopy());
    repeat->initWithAction(std::move(action), givenTimes_);
    return repeat;
}

RefPtr<CCAction> CCRepeat::copy() const {
    return makeLike(refCast<CCFiniteTimeAction>(innerAction_->copy()));
}

RefPtr<CCFiniteTimeAction> CCRepeat::reverse() const {
    return makeLike(innerAction_->reverse());
}

float CCRepeat::runShare() const {
    return innerAction_->duration() / std::max(duration_, FLT_EPSILON);
}

void CCRepeat::startWithTarget(Object* target) {
    total_ = 0;
    nextDt_ = runShare();
    CCActionInterval::startWithTarget(target);
    innerAction_->startWithTarget(target);
}

void CCRepeat::stop() {
    innerAction_->stop();
    CCActionInterval::stop();
}

bool CCRepeat::isDone() const {
    return total_ == times_;
}

void CCRepeat::update(float t) {
    if (t < nextDt_) {
        innerAction_->update(std::fmod(static_cast<float>(times_) * t, 1.0f));
        return;
    }
    const float share = runShare();
    while (t > nextDt_ && total_ < times_) {
        innerAction_->update(1);
        ++total_;
        innerAction_->stop();
        innerAction_->startWithTarget(target_);
        nextDt_ += share;
    }
    if (t >= 1 && total_ < times_) ++total_;
    if (isActionInstant_) return;
    if (total_ == times_) {
        innerAction_->update(1);
        innerAction_->stop();
    } else {
        // How far the current run has got, in the inner action's own 0..1; an inner action without
        // duration is at its end at once.
        innerAction_->update(share > 0 ? (t - (nextDt_ - share)) / share : 1);
    }
}
