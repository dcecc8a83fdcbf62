#include "platform/dispatch/DispatchSource.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/RunLoop.h"

namespace {

// A pipe whose read end sources watch; events are logged on one serial queue.
class DispatchSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        int ends[2];
        ASSERT_EQ(pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
        readEnd_ = std::make_shared<FileDescriptor>(ends[0]);
        writeEnd_ = std::make_shared<FileDescriptor>(ends[1]);
    }

    RefPtr<DispatchSource> logging(RefPtr<DispatchSource> source, const std::string& name) {
        source->setEventHandler([this, name](uint64_t data) { log(name + "=" + std::to_string(data)); });
        source->setCancelHandler([this, name] { log(name + " cancelled"); });
        return source;
    }
    void log(const std::string& entry) {
        std::lock_guard lock(mutex_);
        events_.push_back(entry);
    }
    std::vector<std::string> events() {
        std::lock_guard lock(mutex_);
        return events_;
    }
    long count(const std::string& entry) {
        std::lock_guard lock(mutex_);
        return std::count(events_.begin(), events_.end(), entry);
    }
    // Waits until the queue has logged `entry` `times` times.
    void waitFor(const std::string& entry, long times = 1) {
        while (count(entry) < times) std::this_thread::yield();
    }
    void send(const std::string& bytes) { ASSERT_EQ(write(writeEnd_->get(), bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    void drain() { drain(readEnd_->get()); }
    // Whether any descriptor of the pipe's read end is still open, seen from the write end: a
    // pipe whose every reader has closed polls as an error at once. (A descriptor number would
    // not do: once closed, any thread may be given the same number.)
    bool readerOpen() const {
        pollfd writer{writeEnd_->get(), POLLOUT, 0};
        EXPECT_EQ(poll(&writer, 1, 0), 1);  // writable or in error: it answers at once
        return !(writer.revents & POLLERR);
    }
    static void drain(int fd) {
        char bytes[256];
        while (read(fd, bytes, sizeof bytes) > 0) {
        }
    }

    RefPtr<DispatchQueue> queue_ = makeRef<SerialQueue>("org.vantrel.test.sources");
    std::shared_ptr<FileDescriptor> readEnd_, writeEnd_;
    std::mutex mutex_;
    std::vector<std::string> events_;
};

TEST_F(DispatchSourceTest, ReadSourceReportsReadableBytesAndSuspendResumeDoNotNest) {
    RefPtr<DispatchSource> reader = logging(DispatchSource::read(readEnd_, queue_), "read");
    // A second pipe whose event proves that the reactor has passed the first pipe's readiness: epoll
    // reports ready descriptors in the order they became ready, all to the same queue.
    int probeEnds[2];
    ASSERT_EQ(pipe2(probeEnds, O_NONBLOCK | O_CLOEXEC), 0);
    auto probeRead = std::make_shared<FileDescriptor>(probeEnds[0]);
    FileDescriptor probeWrite(probeEnds[1]);
    RefPtr<DispatchSource> probe = logging(DispatchSource::read(probeRead, queue_), "probe");
    probe->resume();

    send("hello");
    reader->resume();
    waitFor("read=5");
    queue_->sync([&] {
        reader->suspend();
        reader->suspend();  // does not nest: one resume below wakes it
        drain();
    });
    send("ab");
    ASSERT_EQ(write(probeWrite.get(), "x", 1), 1);
    waitFor("probe=1");
    EXPECT_EQ(count("read=2"), 0) << "a suspended source fired";
    reader->resume();
    waitFor("read=2");
    queue_->sync([&] { drain(); });
    reader->cancel();
    probe->cancel();
    waitFor("probe cancelled");
}

TEST_F(DispatchSourceTest, CancelHandlerRunsAfterTheLastEventAndTheDescriptorClosesOnlyThen) {
    RefPtr<DispatchSource> reader = DispatchSource::read(readEnd_, queue_);
    const int fd = readEnd_->get();
    std::promise<bool> openInCancelHandler;
    reader->setEventHandler([&](uint64_t) {
        log("event");
        drain(fd);
        reader->cancel();  // from inside its own handler
        log("after cancel");
    });
    reader->setCancelHandler([&] {
        log("cancel handler");
        openInCancelHandler.set_value(readerOpen());
    });
    readEnd_.reset();  // the source now holds the only reference
    reader->resume();
    send("x");
    EXPECT_TRUE(openInCancelHandler.get_future().get()) << "the watched descriptor closed before the cancel handler";
    queue_->sync([] {});
    EXPECT_EQ(events(), (std::vector<std::string>{"event", "after cancel", "cancel handler"}));
    EXPECT_FALSE(readerOpen()) << "the watched descriptor outlived its last source";
}

TEST_F(DispatchSourceTest, TimersFireOnceRepeatAndReArm) {
    RefPtr<DispatchSource> once = logging(DispatchSource::timer(queue_), "once");
    RefPtr<DispatchSource> later = logging(DispatchSource::timer(queue_), "later");
    once->setTimer(0.001);
    later->setTimer(0.05);
    once->resume();
    later->resume();
    waitFor("later=1");
    EXPECT_EQ(count("once=1"), 1);
    once->setTimer(0);  // re-armed after firing: fires again
    waitFor("once=1", 2);

    std::atomic<int> ticks{0};
    RefPtr<DispatchSource> repeating = DispatchSource::timer(queue_);
    repeating->setEventHandler([&](uint64_t fired) { ticks += static_cast<int>(fired); });
    repeating->setCancelHandler([&] { log("repeating cancelled"); });
    repeating->setTimer(0.001, 0.001);
    repeating->resume();
    while (ticks < 3) std::this_thread::yield();
    for (DispatchSource* source : {once.get(), later.get(), repeating.get()}) source->cancel();
    waitFor("repeating cancelled");
    const int stopped = ticks;
    queue_->sync([] {});
    EXPECT_EQ(ticks, stopped) << "a cancelled timer fired";
}

TEST(DispatchQueues, MainQueueRunsInOrderOnTheMainThreadAndSyncFromItIsInline) {
    RefPtr<DispatchQueue> main = DispatchQueue::main();
    std::vector<int> order;
    bool inline_ = false;
    main->sync([&] { inline_ = main->isCurrent(); });  // would deadlock if it waited for a pass
    EXPECT_TRUE(inline_);
    std::atomic<bool> posted{false};
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i) main->async([&, i] { order.push_back(i); });
        main->sync([] {});  // from another thread: waits for the main thread's pass
        posted = true;
    });
    while (!posted) RunLoop::main().runOnce();
    poster.join();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
}

TEST(DispatchQueues, GlobalQueueRunsBlocksSideBySide) {
    RefPtr<DispatchQueue> global = DispatchQueue::global();
    std::promise<void> first, second;
    std::promise<bool> nestedInline;
    // Each block waits for the other: only concurrent workers finish both.
    global->async([&] {
        second.get_future().wait();
        global->sync([&] { nestedInline.set_value(global->isCurrent()); });
        first.set_value();
    });
    global->async([&] { second.set_value(); });
    first.get_future().wait();
    EXPECT_TRUE(global->isConcurrent() && nestedInline.get_future().get() && !global->isCurrent());
}

}  // namespace
