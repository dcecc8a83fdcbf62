#include "platform/foundation/RunLoopTimer.h"

RunLoopTimer::RunLoopTimer(double interval, bool repeats, double fireTime, Block block)
    : interval_(interval), repeats_(repeats), fireTime_(fireTime),
      block_(std::make_shared<const Block>(std::move(block))) {}

void RunLoopTimer::invalidate() {
    std::shared_ptr<const Block> released;
    std::lock_guard lock(mutex_);
    released.swap(block_);
}

bool RunLoopTimer::isValid() const {
    std::lock_guard lock(mutex_);
    return block_ != nullptr;
}

std::shared_ptr<const RunLoopTimer::Block> RunLoopTimer::block() const {
    std::lock_guard lock(mutex_);
    return block_;
}
