#include "platform/dispatch/MainQueue.h"

#include "platform/foundation/RunLoop.h"

void MainQueue::async(std::function<void()> block) { RunLoop::main().performBlock(std::move(block)); }

void MainQueue::sync(std::function<void()> block) { RunLoop::main().performBlock(std::move(block), true); }

bool MainQueue::isCurrent() const { return RunLoop::main().isCurrent(); }
