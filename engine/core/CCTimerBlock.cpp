#include "engine/core/CCTimerBlock.h"

#include "engine/core/CCScheduler.h"
#include "platform/foundation/StringUtils.h"

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
