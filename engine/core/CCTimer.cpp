#include "engine/core/CCTimer.h"

#include <cstring>

#include "engine/core/CCScheduler.h"
#include "platform/foundation/StringUtils.h"

void CCTimer::setupTimerWithInterval(float interval, uint32_t repeat, float delay) {
    elapsed_ = -1;
    interval_ = interval;
    delay_ = delay;
    useDelay_ = delay > 0;
    repeat_ = repeat;
    runForever_ = repeat == CCTimerRepeatForever;
}

void CCTimer::update(float dt) {
    if (elapsed_ == -1) {
        elapsed_ = 0;
        nTimesExecuted_ = 0;
        return;
    }
    elapsed_ += dt;
    if (runForever_ && !useDelay_) {
        if (elapsed_ >= interval_) {
            trigger();
            elapsed_ = 0;  // time beyond the interval is dropped
        }
        return;
    }
    if (useDelay_) {
        if (elapsed_ >= delay_) {
            trigger();
            elapsed_ -= delay_;  // the remainder counts towards the first interval
            nTimesExecuted_ += 1;
            useDelay_ = false;
        }
    } else if (elapsed_ >= interval_) {
        trigger();
        elapsed_ = 0;
        nTimesExecuted_ += 1;
    }
    if (nTimesExecuted_ > repeat_) cancel();
}

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

RefPtr<CCTimerBlock> CCTimerBlock::timerWithInterval(float interval, const std::string& key,
                                                     std::function<void(float)> block) {
    RefPtr<CCTimerBlock> timer = makeRef<CCTimerBlock>();
    timer->initWithInterval(interval, CCTimerRepeatForever, 0, key, std::move(block));
    return timer;
}

bool CCTimerBlock::initWithInterval(float interval, uint32_t repeat, float delay, const std::string& key,
                                    std::function<void(float)> block) {
    block_ = std::move(block);
    key_ = key;
    setupTimerWithInterval(interval, repeat, delay);
    return true;
}

void CCTimerBlock::trigger() {
    if (block_) block_(elapsed_);
}

void CCTimerBlock::cancel() {
    if (scheduler_) scheduler_->unscheduleBlockForKey(key_, target_);
}

std::string CCTimerBlock::description() const {
    return stringWithFormat("<%s = %p | block>", className(*this).c_str(), static_cast<const void*>(this));
}
