#include "platform/dispatch/SerialQueue.h"

#include <pthread.h>

#include <future>

namespace {
// Longest idle sleep of the worker, seconds; it sleeps again when nothing came.
constexpr double kIdleWait = 3600;
// Thread names are limited to 15 bytes by the kernel.
constexpr size_t kThreadNameLength = 15;
}  // namespace

SerialQueue::SerialQueue(std::string name) : name_(std::move(name)), finished_(std::make_shared<bool>(false)) {
    std::promise<RefPtr<RunLoop>> started;
    std::future<RefPtr<RunLoop>> loop = started.get_future();
    worker_ = std::thread([started = std::move(started), finished = finished_,
                           threadName = name_.substr(0, kThreadNameLength)]() mutable {
        pthread_setname_np(pthread_self(), threadName.c_str());
        RunLoop& loop = RunLoop::current();
        started.set_value(RefPtr<RunLoop>(&loop));
        while (!*finished) {
            loop.runOnce();
            if (!*finished) loop.waitForWork(kIdleWait);
        }
        while (loop.runOnce() > 0) {
        }
    });
    loop_ = loop.get();
}

SerialQueue::~SerialQueue() {
    loop_->performBlock([finished = finished_] { *finished = true; });
    if (isCurrent()) {
        worker_.detach();
    } else {
        worker_.join();
    }
}

void SerialQueue::async(std::function<void()> block) { loop_->performBlock(std::move(block)); }

void SerialQueue::sync(std::function<void()> block) { loop_->performBlock(std::move(block), true); }

bool SerialQueue::isCurrent() const { return loop_->isCurrent(); }
