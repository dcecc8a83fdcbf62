#pragma once

#include <string>

#include "engine/core/CCSelector.h"
#include "engine/core/CCTimer.h"

// A timer that calls a method of a target (not retained: the scheduler's table holds it).
class CCTimerTargetSelector : public CCTimer {
public:
    // Every `interval` seconds (0: every frame), for ever, no delay.
    static RefPtr<CCTimerTargetSelector> timerWithTarget(Object* target, SEL_SCHEDULE selector);
    static RefPtr<CCTimerTargetSelector> timerWithTarget(Object* target, SEL_SCHEDULE selector, float interval);

    bool initWithTarget(Object* target, SEL_SCHEDULE selector);
    bool initWithTarget(Object* target, SEL_SCHEDULE selector, float interval, uint32_t repeat, float delay);

    // Calls the method with the seconds since the previous firing.
    void trigger() override;
    // unscheduleSelector(selector, target) on the owning scheduler.
    void cancel() override;

    SEL_SCHEDULE selector() const { return selector_; }
    Object* target() const { return target_; }

    // "<CCTimerTargetSelector = 0x... | target:Hero selector:(0x...)>". Methods have no names at
    // run time, so the selector shows as the first word of the member pointer: the function's
    // address, or for a virtual method 1 + its offset in the virtual table.
    std::string description() const override;

private:
    Object* target_ = nullptr;
    SEL_SCHEDULE selector_ = nullptr;
};
