#include "platform/dispatch/GlobalQueue.h"

#include <pthread.h>

#include <future>

#include "platform/foundation/PostedWork.h"

namespace {
thread_local const GlobalQueue* currentQueue = nullptr;
}  // namespace

GlobalQueue::GlobalQueue() {
    for (int i = 0; i < kWorkers; ++i) {
        // Detached: the queue is never destroyed (see DispatchQueue::global()), and a worker stuck in
        // a slow lookup must not hold up the process's exit.
        std::thread([this] { work(); }).detach();
    }
}

void GlobalQueue::async(std::function<void()> block) {
    if (!block) return;
    std::lock_guard lock(mutex_);
    blocks_.push_back(std::move(block));
    wake_.notify_one();
}

void GlobalQueue::sync(std::function<void()> block) {
    if (!block) return;
    if (isCurrent()) {
        runPostedWork("GlobalQueue", block);
        return;
    }
    std::promise<void> done;
    async([&] {
        runPostedWork("GlobalQueue", block);
        done.set_value();
    });
    done.get_future().get();
}

bool GlobalQueue::isCurrent() const { return currentQueue == this; }

void GlobalQueue::work() {
    pthread_setname_np(pthread_self(), "GlobalQueue");
    currentQueue = this;
    for (;;) {
        std::function<void()> block;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !blocks_.empty(); });
            block = std::move(blocks_.front());
            blocks_.pop_front();
        }
        runPostedWork("GlobalQueue", block);
    }
}
