#include "engine/actions/grid/CCAccelDeccelAmplitude.h"

#include <cmath>

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCAccelDeccelAmplitude> CCAccelDeccelAmplitude::actionWithAction(RefPtr<CCActionInterval> action,
                                                                        float duration) {
    auto made = makeRef<CCAccelDeccelAmplitude>();
    made->initWithAction(std::move(action), duration);
    return made;
}

bool CCAccelDeccelAmplitude::initWithAction(RefPtr<CCActionInterval> action, float duration) {
    CC_REQUIRE(action, "NSInvalidArgumentException", "%s: the action must not be null", className(*this).c_str());
    initWithDuration(duration);
    rate_ = 1;
    effect_ = dynamic_cast<CCAmplitudeEffect*>(action.get());
    other_ = std::move(action);
    return true;
}

RefPtr<CCAction> CCAccelDeccelAmplitude::copy() const {
    RefPtr<CCAccelDeccelAmplitude> copy(makeEmptyCopy());
    copy->initWithAction(refCast<CCActionInterval>(other_->copy()), duration_);
    copy->setRate(rate_);
    return copy;
}

void CCAccelDeccelAmplitude::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    other_->startWithTarget(target);
}

void CCAccelDeccelAmplitude::update(float t) {
    CC_REQUIRE(effect_, "IntervalAction (Amplitude)", "Abstract class needs implementation");
    effect_->setAmplitudeRate(amplitudeRateAt(t));
    other_->update(t);
}

float CCAccelDeccelAmplitude::amplitudeRateAt(float t) const {
    float f = t * 2;
    if (f > 1) f = 1 - (f - 1);
    return std::pow(f, rate_);
}

RefPtr<CCFiniteTimeAction> CCAccelDeccelAmplitude::reverse() const {
    RefPtr<CCAccelDeccelAmplitude> reversed(makeEmptyCopy());
    reversed->initWithAction(refCast<CCActionInterval>(other_->reverse()), duration_);
    return reversed;
}
