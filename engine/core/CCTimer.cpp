#include "engine/core/CCTimer.h"

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
