#include "engine/core/CCTimerTargetSelector.h"

#include <cstring>

#include "engine/core/CCScheduler.h"
#include "platform/foundation/StringUtils.h"

RefPtr<CCTimerTargetSelector> CCTimerTargetSelector::timerWithTarget(Object* target, SEL_SCHEDULE selector) {
    return timerWithTarget(target, selector, 0);
}

RefPtr<CCTimerTargetSelector> CCTimerTargetSelector::timerWithTarget(Object* target, SEL_SCHEDULE selector,
                                                                     float interval) {
    RefPtr<CCTimerTargetSelector> timer = makeRef<CCTimerTargetSelector>();
    timer->initWithTarget(target, selector, interval, CCTimerRepeatForever, 0);
    return timer;
}

bool CCTimerTargetSelector::initWithTarget(Object* target, SEL_SCHEDULE selector) {
    return initWithTarget(target, selector, 0, CCTimerRepeatForever, 0);
}

bool CCTimerTargetSelector::initWithTarget(Object* target, SEL_SCHEDULE selector, float interval,
                                           uint32_t repeat, float delay) {
    target_ = target;
    selector_ = selector;
    setupTimerWithInterval(interval, repeat, delay);
    return true;
}

void CCTimerTargetSelector::trigger() {
    if (target_ && selector_) (target_->*selector_)(elapsed_);
}

void CCTimerTargetSelector::cancel() {
    if (scheduler_) scheduler_->unscheduleSelector(selector_, target_);
}

std::string CCTimerTargetSelector::description() const {
    const void* method = nullptr;
    static_assert(sizeof selector_ >= sizeof method);
    std::memcpy(&method, &selector_, sizeof method);
    return stringWithFormat("<%s = %p | target:%s selector:(%p)>", className(*this).c_str(),
                            static_cast<const void*>(this), target_ ? className(*target_).c_str() : "(null)",
                            method);
}
