#include "platform/dispatch/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/foundation/Log.h"

TEST(SerialQueue, RunsBlocksInOrderOnOneWorkerThread) {
    SerialQueue queue("org.vantrel.test.order");
    std::vector<int> ran;  // touched on the queue only
    std::vector<std::thread::id> threads;
    for (int i = 0; i < 500; ++i) {
        queue.async([&, i] {
            ran.push_back(i);
            threads.push_back(std::this_thread::get_id());
        });
    }
    std::vector<int> seen;
    queue.sync([&] { seen = ran; });
    ASSERT_EQ(seen.size(), 500u);
    for (int i = 0; i < 500; ++i) EXPECT_EQ(seen[i], i);
    EXPECT_NE(threads.front(), std::this_thread::get_id());
    for (const std::thread::id& id : threads) EXPECT_EQ(id, threads.front());
}

TEST(SerialQueue, SyncFromInsideTheQueueRunsInlineAndIsCurrentKnowsTheQueue) {
    SerialQueue queue("org.vantrel.test.sync");
    SerialQueue other("org.vantrel.test.other");
    EXPECT_FALSE(queue.isCurrent());

    std::vector<std::string> steps;
    bool insideIsCurrent = false;
    bool otherIsCurrent = true;
    queue.sync([&] {
        insideIsCurrent = queue.isCurrent();
        otherIsCurrent = other.isCurrent();
        steps.push_back("outer");
        queue.sync([&] { steps.push_back("inner"); });
        steps.push_back("after inner");
    });
    EXPECT_TRUE(insideIsCurrent);
    EXPECT_FALSE(otherIsCurrent);
    EXPECT_EQ(steps, (std::vector<std::string>{"outer", "inner", "after inner"}));

    // An async block's sync on its own queue must not wait for itself either.
    std::promise<void> done;
    queue.async([&] { queue.sync([&] { done.set_value(); }); });
    done.get_future().get();
    queue.sync([] {});
}

TEST(SerialQueue, DestructionFinishesQueuedWork) {
    std::atomic<int> ran{0};
    {
        SerialQueue queue("org.vantrel.test.finish");
        for (int i = 0; i < 100; ++i) {
            queue.async([&] {
                ++ran;
                if (ran == 1) queue.async([&] { ran += 1000; });  // queued by the work itself
            });
        }
    }
    EXPECT_EQ(ran, 1100);
}

TEST(SerialQueue, ThrowingWorkIsLoggedAndTheQueueGoesOn) {
    LogCapture capture;
    SerialQueue queue("org.vantrel.test.throw");
    int after = 0;
    queue.async([] { throw std::runtime_error("worker failure"); });
    queue.async([&] { ++after; });
    queue.sync([&] { ++after; });
    EXPECT_EQ(after, 2);
    EXPECT_TRUE(capture.contains("worker failure"));
}

TEST(SerialQueue, MayBeDestroyedByItsOwnWork) {
    // The work queued before the queue went still runs, after the destructor has returned.
    auto queue = std::make_unique<SerialQueue>("org.vantrel.test.self");
    auto finished = std::make_shared<std::promise<bool>>();
    auto destroyed = std::make_shared<std::atomic<bool>>(false);
    queue->async([&queue, finished, destroyed] {
        queue->async([finished, destroyed] { finished->set_value(*destroyed); });
        queue.reset();
        *destroyed = true;
    });
    EXPECT_TRUE(finished->get_future().get());
}
