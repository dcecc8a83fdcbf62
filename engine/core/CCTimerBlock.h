#pragma once

#include <functional>
#include <string>

#include "engine/core/CCTimer.h"

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
