#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/core/CCSelector.h"
#include "platform/foundation/Object.h"

class CCScheduler;

// A repeat count that never runs out. One below the largest 32-bit value on purpose: it is the
// value callers pass, and the count of firings is compared against it.
inline constexpr uint32_t CCTimerRepeatForever = 0xFFFFFFFE;

// Fires something after an interval, a number of times, optionally after a first delay. The
// scheduler steps each timer once per frame with the (time-scaled) frame time.
class CCTimer : public Object {
public:
    // Not started; the first step only starts the timer. `repeat` counts the firings after the
    // first (CCTimerRepeatForever: no end); a delay > 0 replaces the interval before the first one.
    void setupTimerWithInterval(float interval, uint32_t repeat, float delay);

    // One frame of `dt` seconds. Fires with the time since the previous firing (or since the start)
    // and cancels itself after repeat + 1 firings.
    void update(float dt);
    virtual void trigger() {}
    virtual void cancel() {}

    float interval() const { return interval_; }
    void setInterval(float interval) { interval_ = interval; }

    // The scheduler whose tables hold the timer (not retained: the scheduler outlives its timers);
    // cancel() unschedules through it. Null for a timer that no scheduler made: cancelling it then
    // does nothing.
    CCScheduler* scheduler() const { return scheduler_; }
    void setScheduler(CCScheduler* scheduler) { scheduler_ = scheduler; }

protected:
    float interval_ = 0;   // seconds between firings; 0 = every frame
    float elapsed_ = -1;   // seconds since the last firing; -1 = not started
    bool runForever_ = false;
    bool useDelay_ = false;  // the next firing waits delay_ rather than interval_
    uint32_t nTimesExecuted_ = 0;  // firings so far (not counted on the plain repeat-forever path)
    uint32_t repeat_ = 0;
    float delay_ = 0;      // seconds before the first firing
    CCScheduler* scheduler_ = nullptr;
};

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

// A timer that calls a block, found again by its key on its target.
class CCTimerBlock : public CCTimer {
public:
    // Every `interval` seconds, for ever, no delay.
    static RefPtr<CCTimerBlock> timerWithInterval(float interval, const std::string& key,
                                                  std::function<void(float)> block);

    bool initWithInterval(float interval, uint32_t repeat, float delay, const std::string& key,
                          std::function<void(float)> block);

    // Calls the block with the seconds since the previous firing.
    void trigger() override;
    // unscheduleBlockForKey(key, target) on the owning scheduler, so that a finite repeat count
    // ends the timer as it does a selector timer.
    void cancel() override;

    const std::string& key() const { return key_; }
    // The target the scheduler filed the timer under (not retained); null outside a scheduler.
    Object* target() const { return target_; }
    void setTarget(Object* target) { target_ = target; }

    // "<CCTimerBlock = 0x... | block>".
    std::string description() const override;

private:
    std::function<void(float)> block_;
    std::string key_;
    Object* target_ = nullptr;
};
