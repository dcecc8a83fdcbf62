#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/dispatch/DispatchQueue.h"

// A few worker threads sharing one FIFO of blocks, which they run side by side: the place for
// blocking calls (name lookups) that must not hold up a serial queue. Reached through
// DispatchQueue::global(); its threads live for the whole process.
class GlobalQueue : public DispatchQueue {
public:
    GlobalQueue();

    void async(std::function<void()> block) override;
    void sync(std::function<void()> block) override;
    // True on any of the workers.
    bool isCurrent() const override;
    bool isConcurrent() const override { return true; }

private:
    // Workers: enough for a few slow lookups at once; the game makes one per phone.
    static constexpr int kWorkers = 4;

    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> blocks_;  // oldest first
};
