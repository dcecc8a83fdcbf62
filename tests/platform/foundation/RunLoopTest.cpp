#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

// A thread that owns a loop and drains it until the loop is stopped.
class LoopThread {
public:
    LoopThread() {
        std::promise<RefPtr<RunLoop>> started;
        std::future<RefPtr<RunLoop>> loop = started.get_future();
        thread_ = std::thread([this, started = std::move(started)]() mutable {
            RunLoop& loop = RunLoop::current();
            id_ = std::this_thread::get_id();
            started.set_value(RefPtr<RunLoop>(&loop));
            while (!loop.isStopped()) {
                loop.runOnce();
                loop.waitForWork(1);
            }
        });
        loop_ = loop.get();
    }
    ~LoopThread() {
        loop_->stop();
        thread_.join();
    }

    RunLoop& loop() { return *loop_; }
    std::thread::id id() const { return id_; }

private:
    std::thread::id id_;
    RefPtr<RunLoop> loop_;
    std::thread thread_;
};

struct Payload : Object {
    int value = 7;
};

// Runs passes of the calling thread's loop until `done` holds, or gives up after many passes.
template <typename Predicate>
void runUntil(Predicate done) {
    RunLoop& loop = RunLoop::current();
    for (int pass = 0; pass < 10000 && !done(); ++pass) {
        loop.runOnce();
        if (!done()) loop.waitForWork(0.01);
    }
}

void drainCurrent() {
    while (RunLoop::current().runOnce() > 0) {
    }
}

}  // namespace

TEST(RunLoop, MainAndCurrentBelongToTheirThreads) {
    RunLoop& main = RunLoop::main();
    EXPECT_EQ(&RunLoop::current(), &main);  // tests run on the process's initial thread
    EXPECT_TRUE(main.isCurrent());
    EXPECT_NO_THROW(RunLoop::setMainThread());

    std::thread([&] {
        EXPECT_EQ(&RunLoop::main(), &main);
        EXPECT_FALSE(main.isCurrent());
        EXPECT_NE(&RunLoop::current(), &main);
        EXPECT_TRUE(RunLoop::current().isCurrent());
        EXPECT_THROW(RunLoop::setMainThread(), NamedException);
        EXPECT_THROW(main.runOnce(), NamedException);
        EXPECT_THROW(main.waitForWork(0), NamedException);
    }).join();
}

TEST(RunLoop, WorkRunsInPostingOrderOnTheLoopThread) {
    drainCurrent();
    RunLoop& loop = RunLoop::current();
    constexpr int kPosters = 4;
    constexpr int kEach = 200;
    std::vector<std::pair<int, int>> ran;  // (poster, sequence); touched on the loop's thread only
    bool allOnLoopThread = true;
    std::vector<std::thread> posters;
    for (int poster = 0; poster < kPosters; ++poster) {
        posters.emplace_back([&, poster] {
            for (int sequence = 0; sequence < kEach; ++sequence) {
                loop.performBlock([&, poster, sequence] {
                    ran.emplace_back(poster, sequence);
                    allOnLoopThread = allOnLoopThread && loop.isCurrent();
                });
            }
        });
    }
    for (std::thread& poster : posters) poster.join();

    EXPECT_EQ(loop.runOnce(), kPosters * kEach);
    ASSERT_EQ(ran.size(), size_t{kPosters * kEach});
    EXPECT_TRUE(allOnLoopThread);
    std::vector<int> next(kPosters, 0);
    for (const auto& [poster, sequence] : ran) EXPECT_EQ(sequence, next[poster]++);
    EXPECT_EQ(loop.runOnce(), 0);
}

TEST(RunLoop, WaitingHandOffRunsOnTheTargetThread) {
    LoopThread target;

    // From another thread: returns only once the block has run there, with the object handed over.
    RefPtr<Payload> payload = makeRef<Payload>();
    std::thread::id ranOn;
    Object* received = nullptr;
    bool ran = target.loop().performBlock(
        [&](RefPtr<Object> object) {
            ranOn = std::this_thread::get_id();
            received = object.get();
        },
        payload, true);
    EXPECT_TRUE(ran);
    EXPECT_EQ(ranOn, target.id());
    EXPECT_EQ(received, payload.get());
    EXPECT_EQ(payload->retainCount(), 1u);  // the hand-off released its hold before returning

    // Without waiting the caller goes on; the block still runs, before anything posted after it.
    std::atomic<bool> early{false};
    EXPECT_TRUE(target.loop().performBlock([&] { early = true; }));
    bool earlyHadRun = false;
    target.loop().performBlock([&] { earlyHadRun = early; }, true);
    EXPECT_TRUE(earlyHadRun);

    // From the loop's own thread a waiting hand-off runs at once, not in a later pass.
    drainCurrent();
    RunLoop& own = RunLoop::current();
    int calls = 0;
    EXPECT_TRUE(
        own.performBlock([&](RefPtr<Object> object) { calls += object.get() == payload.get(); }, payload, true));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(own.runOnce(), 0);
}

TEST(RunLoop, StoppedLoopsReleaseWaitersAndTakeNoWork) {
    // A loop whose thread is busy and then ends: the waiter is released, the block never runs.
    RefPtr<RunLoop> loop;
    std::promise<void> leave;
    std::promise<RefPtr<RunLoop>> started;
    std::thread owner([&, ready = leave.get_future()]() mutable {
        started.set_value(RefPtr<RunLoop>(&RunLoop::current()));
        ready.wait();
    });
    loop = started.get_future().get();

    std::atomic<bool> ran{false};
    std::promise<bool> answer;
    std::thread waiter([&] { answer.set_value(loop->performBlock([&] { ran = true; }, true)); });
    std::future<bool> answered = answer.get_future();
    EXPECT_EQ(answered.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    leave.set_value();
    owner.join();
    EXPECT_FALSE(answered.get());
    waiter.join();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(loop->isStopped());
    EXPECT_FALSE(loop->performBlock([&] { ran = true; }, true));
    EXPECT_FALSE(loop->performBlock([&] { ran = true; }));
    EXPECT_FALSE(loop->scheduleTimer(0.001, true, [&] { ran = true; })->isValid());

    // Stopping from inside a pass drops the rest of that pass.
    LoopThread other;
    std::vector<int> order;
    other.loop().performBlock([&] {
        order.push_back(1);
        other.loop().stop();
    });
    EXPECT_FALSE(other.loop().performBlock([&] { order.push_back(2); }, true));
    EXPECT_EQ(order, std::vector<int>{1});
}

TEST(RunLoop, WorkPostedDuringAPassWaitsForTheNextAndThrowingBlocksAreLogged) {
    drainCurrent();
    LogCapture capture;
    RunLoop& loop = RunLoop::current();
    std::vector<std::string> ran;
    loop.performBlock([&] {
        ran.push_back("first");
        loop.performBlock([&] { ran.push_back("posted by first"); });
    });
    loop.performBlock([] { throw NamedException("Test", "broken block"); });
    loop.performBlock([&] { ran.push_back("after the throw"); });

    EXPECT_EQ(loop.runOnce(), 3);
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "after the throw"}));
    EXPECT_TRUE(capture.contains("broken block"));
    EXPECT_EQ(loop.runOnce(), 1);
    EXPECT_EQ(ran.back(), "posted by first");
    EXPECT_FALSE(loop.performBlock(std::function<void()>()));
}

TEST(RunLoop, OneShotTimersFireOnceAndRepeatingOnesDoNotCatchUp) {
    drainCurrent();
    RunLoop& loop = RunLoop::current();

    int oneShot = 0;
    RefPtr<RunLoopTimer> once = loop.scheduleTimer(0.001, false, [&] { ++oneShot; });
    runUntil([&] { return oneShot > 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop.runOnce();
    loop.runOnce();
    EXPECT_EQ(oneShot, 1);
    EXPECT_FALSE(once->isValid());

    // Twenty missed intervals give one firing, not a burst; later passes keep it firing.
    int repeats = 0;
    RefPtr<RunLoopTimer> repeating = loop.scheduleTimer(0.005, true, [&] { ++repeats; });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(loop.runOnce(), 1);
    EXPECT_EQ(repeats, 1);
    runUntil([&] { return repeats >= 4; });
    EXPECT_GE(repeats, 4);
    EXPECT_TRUE(repeating->isValid());
    repeating->invalidate();
    const int stoppedAt = repeats;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop.runOnce();
    EXPECT_EQ(repeats, stoppedAt);
}

TEST(RunLoop, TimersMayBeInvalidatedFromCallbacks) {
    drainCurrent();
    RunLoop& loop = RunLoop::current();

    // One timer stops itself; an earlier one stops a later one due in the same pass.
    int selfCalls = 0;
    RefPtr<RunLoopTimer> self;
    self = loop.scheduleTimer(0.001, true, [&] {
        ++selfCalls;
        self->invalidate();
    });
    int firstCalls = 0;
    int secondCalls = 0;
    RefPtr<RunLoopTimer> second;
    RefPtr<RunLoopTimer> first = loop.scheduleTimer(0.001, true, [&] {
        ++firstCalls;
        second->invalidate();
    });
    second = loop.scheduleTimer(0.001, true, [&] { ++secondCalls; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop.runOnce();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop.runOnce();
    EXPECT_EQ(selfCalls, 1);
    EXPECT_FALSE(self->isValid());
    EXPECT_EQ(firstCalls, 2);
    EXPECT_EQ(secondCalls, 0);
    first->invalidate();

    // Invalidating releases the block's captures, breaking a timer <-> owner cycle.
    RefPtr<Payload> owner = makeRef<Payload>();
    RefPtr<RunLoopTimer> held = loop.scheduleTimer(1000, true, [owner] { owner->value = 0; });
    EXPECT_EQ(owner->retainCount(), 2u);
    held->invalidate();
    EXPECT_EQ(owner->retainCount(), 1u);
    loop.runOnce();
}

TEST(RunLoop, WaitForWorkWakesForPostedWorkAndDueTimers) {
    drainCurrent();
    RunLoop& loop = RunLoop::current();
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        loop.performBlock([] {});
    });
    loop.waitForWork(60);
    poster.join();
    EXPECT_EQ(loop.runOnce(), 1);

    int fired = 0;
    RefPtr<RunLoopTimer> timer = loop.scheduleTimer(0.02, false, [&] { ++fired; });
    loop.waitForWork(60);
    runUntil([&] { return fired > 0; });
    EXPECT_EQ(fired, 1);
}
