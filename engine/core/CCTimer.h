#pragma once

#include <cstdint>

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
