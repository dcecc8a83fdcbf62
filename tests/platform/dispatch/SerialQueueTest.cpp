#include "platform/dispatch/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/foundation/Log.h"

TEST(SerialQueue, RunsBlocksInOrderOnOneWorkerThreadAndLogsThrowingOnes) {
    LogCapture capture;
    SerialQueue queue("org.vantrel.test.order");
    std::vector<std::pair<int, std::thread::id>> ran;  // touched on the queue only
    queue.async([] { throw std::runtime_error("worker failure"); });
    for (int i = 0; i < 500; ++i) queue.async([&, i] { ran.emplace_back(i, std::this_thread::get_id()); });
    queue.sync([] {});
    ASSERT_EQ(ran.size(), 500u);
    for (int i = 0; i < 500; ++i) EXPECT_TRUE(ran[i].first == i && ran[i].second == ran[0].second) << i;
    EXPECT_TRUE(ran[0].second != std::this_thread::get_id() && capture.contains("worker failure"));
}

TEST(SerialQueue, SyncFromInsideTheQueueRunsInlineAndIsCurrentKnowsTheQueue) {
    SerialQueue queue("org.vantrel.test.sync"), other("org.vantrel.test.other");
    std::string steps;
    queue.sync([&] {
        steps += queue.isCurrent() && !other.isCurrent() ? "outer " : "off the queue ";
        queue.sync([&] { steps += "inner "; });
        steps += "after";
    });
    EXPECT_TRUE(!queue.isCurrent() && steps == "outer inner after");
    std::promise<void> done;  // an async block's sync on its own queue must not wait for itself either
    queue.async([&] { queue.sync([&] { done.set_value(); }); });
    done.get_future().get();
}

TEST(SerialQueue, DestructionFinishesQueuedWorkAlsoFromItsOwnWork) {
    std::atomic<int> ran{0};
    {
        SerialQueue queue("org.vantrel.test.finish");  // the first block queues more work itself
        for (int i = 0; i < 100; ++i) queue.async([&] { if (++ran == 1) queue.async([&] { ran += 1000; }); });
    }
    EXPECT_EQ(ran, 1100);
    auto queue = std::make_unique<SerialQueue>("org.vantrel.test.self");  // destroyed by its own work, which still runs
    auto finished = std::make_shared<std::promise<bool>>();
    auto destroyed = std::make_shared<std::atomic<bool>>(false);
    queue->async([&queue, finished, destroyed] {
        queue->async([finished, destroyed] { finished->set_value(*destroyed); });
        queue.reset();
        *destroyed = true;
    });
    EXPECT_TRUE(finished->get_future().get());
}
