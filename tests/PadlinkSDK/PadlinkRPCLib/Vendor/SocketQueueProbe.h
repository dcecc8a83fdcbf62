#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "platform/dispatch/DispatchSource.h"
#include "platform/dispatch/SerialQueue.h"

// A serial queue that counts the blocks queued on it. Given to a socket as its socket queue, it
// counts every event the socket's sources deliver (each is one block).
class CountingQueue : public DispatchQueue {
public:
    explicit CountingQueue(std::string name) : queue_(makeRef<SerialQueue>(std::move(name))) {}
    void async(std::function<void()> block) override {
        queued_.fetch_add(1);
        queue_->async(std::move(block));
    }
    void sync(std::function<void()> block) override { queue_->sync(std::move(block)); }
    bool isCurrent() const override { return queue_->isCurrent(); }
    uint64_t queued() const { return queued_.load(); }

private:
    const RefPtr<SerialQueue> queue_;
    std::atomic<uint64_t> queued_{0};
};

// Proves that events did or did not happen without waiting for time to pass. A pipe is watched by
// a read source on a socket's queue; roundTrip() writes one byte and returns once the source's
// handler has run on that queue.
//
// Ordering it relies on: a source armed on a descriptor that is already ready sits in the
// reactor's ready list ahead of the probe's byte, so the reactor reports it in an earlier wake-up
// or earlier in the same one, and its event is queued on the socket queue before the probe's.
// Once roundTrip() returns, every source of the socket that was armed and ready when it began
// has had its event handled.
class QueueProbe {
public:
    explicit QueueProbe(RefPtr<DispatchQueue> queue) : queue_(std::move(queue)) {
        int ends[2] = {-1, -1};
        EXPECT_EQ(pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
        const auto readEnd = std::make_shared<FileDescriptor>(ends[0]);
        writeEnd_ = ends[1];
        source_ = DispatchSource::read(readEnd, queue_);
        source_->setEventHandler([this, fd = readEnd->get()](uint64_t) {
            char byte;
            while (read(fd, &byte, 1) == 1) {
            }
            std::lock_guard lock(mutex_);
            ++handled_;
            changed_.notify_all();
        });
        source_->resume();
    }
    ~QueueProbe() {
        source_->cancel();
        queue_->sync([] {});  // the handler has let go of this object
        close(writeEnd_);
    }
    // False when the handler did not run within 10 s (a guard against hangs, not a measurement).
    bool roundTrip() {
        std::unique_lock lock(mutex_);
        const uint64_t expected = handled_ + 1;
        if (write(writeEnd_, "p", 1) != 1) return false;
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return handled_ >= expected; });
    }

private:
    const RefPtr<DispatchQueue> queue_;
    RefPtr<DispatchSource> source_;
    int writeEnd_ = -1;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t handled_ = 0;
};
