#pragma once

#include "platform/dispatch/DispatchQueue.h"

// The main thread's RunLoop as a queue: blocks run on the main thread in the order posted, during
// the loop's passes. Reached through DispatchQueue::main().
class MainQueue : public DispatchQueue {
public:
    void async(std::function<void()> block) override;
    void sync(std::function<void()> block) override;
    bool isCurrent() const override;
};
