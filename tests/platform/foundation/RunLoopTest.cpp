#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {
// A thread that owns a loop and drains it until the loop is stopped.
struct LoopThread {
    std::promise<RefPtr<RunLoop>> started;
    std::jthread thread{[this] {
        started.set_value(RefPtr<RunLoop>(&RunLoop::current()));
        for (RunLoop& loop = RunLoop::current(); !loop.isStopped(); loop.waitForWork(1)) loop.runOnce();
    }};
    RefPtr<RunLoop> loop = started.get_future().get();
    ~LoopThread() { loop->stop(); }  // then the thread ends and is joined
};

// The calling thread's loop, with nothing left over from earlier tests.
RunLoop& drainedCurrent() {
    for (RunLoop& loop = RunLoop::current();;) if (loop.runOnce() == 0) return loop;
}

// The loop's timers run on a clock the test moves by hand, from a whole number of seconds, so
// that every sum of quarter seconds is exact.
class ManualClock {
public:
    explicit ManualClock(RunLoop& loop) : loop_(loop) {
        loop_.setClock([this] { return seconds_; });
    }
    ~ManualClock() { loop_.setClock(nullptr); }
    void advance(double seconds) { seconds_ += seconds; }

private:
    RunLoop& loop_;
    double seconds_ = 1000;
};
}  // namespace

TEST(RunLoop, LoopsBelongToTheirThreadsAndRunWorkInPostingOrder) {
    RunLoop& main = RunLoop::main();
    EXPECT_EQ(&drainedCurrent(), &main);  // tests run on the process's initial thread
    EXPECT_NO_THROW(RunLoop::setMainThread());
    std::jthread([&] {
        EXPECT_TRUE(&RunLoop::main() == &main && !main.isCurrent() && RunLoop::current().isCurrent());
        EXPECT_THROW(RunLoop::setMainThread(), NamedException);
        EXPECT_THROW(main.runOnce(), NamedException);
        EXPECT_THROW(main.waitForWork(0), NamedException);
    });
    std::vector<std::pair<int, int>> ran;  // (poster, sequence); touched on the loop's thread only
    std::vector<std::jthread> posters;
    for (int poster = 0; poster < 4; ++poster) {
        posters.emplace_back([&, poster] { for (int i = 0; i < 200; ++i) main.performBlock([&, poster, i] { ran.emplace_back(main.isCurrent() ? poster : -1, i); }); });
    }
    posters.clear();  // joins them
    EXPECT_EQ(main.runOnce(), 800);
    std::vector<int> next(4, 0);
    for (const auto& [poster, sequence] : ran) EXPECT_EQ(sequence, next.at(poster)++);
}

TEST(RunLoop, HandOffsRunOnTheTargetThreadAndStoppedLoopsReleaseWaiters) {
    LoopThread target;
    RefPtr<Object> payload = makeRef<Object>();
    std::thread::id ranOn;
    const auto note = [&](RefPtr<Object> object) { ranOn = object == payload ? std::this_thread::get_id() : ranOn; };
    // Returns once the block has run there, and the hand-off has released its hold.
    EXPECT_TRUE(target.loop->performBlock(note, payload, true) && ranOn == target.thread.get_id() && payload->retainCount() == 1u);
    // From the loop's own thread a waiting hand-off runs at once, not in a later pass.
    EXPECT_TRUE(drainedCurrent().performBlock(note, payload, true) && ranOn == std::this_thread::get_id() && RunLoop::current().runOnce() == 0);
    // Stopping from inside a pass drops the rest of it, and releases waiters with false.
    std::vector<int> order;
    target.loop->performBlock([&] { order.push_back(1); target.loop->stop(); });
    EXPECT_FALSE(target.loop->performBlock([&] { order.push_back(2); }, true) || target.loop->performBlock([&] { order.push_back(3); }));
    EXPECT_FALSE(target.loop->scheduleTimer(0.001, true, [&] { order.push_back(4); })->isValid());
    // A loop whose thread ends while a caller waits on it: the waiter is released, the block never runs.
    std::promise<RefPtr<RunLoop>> started;
    std::promise<void> leave;
    std::thread owner([&, ready = leave.get_future()] { started.set_value(RefPtr<RunLoop>(&RunLoop::current())); ready.wait(); });
    const RefPtr<RunLoop> ending = started.get_future().get();
    auto waited = std::async(std::launch::async, [&] { return ending->performBlock([&] { order.push_back(5); }, true); });
    leave.set_value();
    owner.join();
    EXPECT_TRUE(!waited.get() && order == std::vector<int>{1});
}

TEST(RunLoop, WorkPostedDuringAPassWaitsForTheNextAndThrowingBlocksAreLogged) {
    RunLoop& loop = drainedCurrent();
    std::jthread([&] { loop.performBlock([] {}); }).join();
    loop.waitForWork(60);  // returns at once: work is queued
    EXPECT_EQ(loop.runOnce(), 1);
    LogCapture capture;
    std::vector<std::string> ran;
    loop.performBlock([&] {
        ran.push_back("first");
        loop.performBlock([&] { ran.push_back("posted by first"); });
    });
    loop.performBlock([] { throw std::runtime_error("broken block"); });
    loop.performBlock([&] { ran.push_back("after the throw"); });
    EXPECT_TRUE(loop.runOnce() == 3 && ran == (std::vector<std::string>{"first", "after the throw"}) && capture.contains("broken block"));
    EXPECT_TRUE(loop.runOnce() == 1 && ran.back() == "posted by first");
    EXPECT_FALSE(loop.performBlock(std::function<void()>()));
}

TEST(RunLoop, TimersFireWithoutCatchingUpAndMayBeInvalidatedFromCallbacks) {
    RunLoop& loop = drainedCurrent();
    ManualClock clock(loop);
    constexpr double kInterval = 0.25;
    int repeats = 0, once = 0;
    RefPtr<RunLoopTimer> repeating = loop.scheduleTimer(kInterval, true, [&] { ++repeats; }),
                         oneShot = loop.scheduleTimer(kInterval / 2, false, [&] { ++once; });
    clock.advance(kInterval / 4);
    EXPECT_EQ(loop.runOnce(), 0) << "a timer fired before it was due";
    // Twenty missed intervals give one firing, not a burst; a one-shot timer fires once.
    clock.advance(20 * kInterval + kInterval / 4);
    EXPECT_EQ(loop.runOnce(), 2);
    EXPECT_EQ(loop.runOnce(), 0) << "the missed firings were caught up";
    // The next firing keeps the timer's phase: 21 intervals after scheduling, not one after the late one.
    clock.advance(kInterval / 2);
    EXPECT_EQ(loop.runOnce(), 1);
    EXPECT_TRUE(once == 1 && !oneShot->isValid() && repeats == 2 && repeating->isValid());
    repeating->invalidate();
    // One timer stops itself; an earlier one stops a later one due in the same pass.
    int selfCalls = 0, firstCalls = 0, secondCalls = 0;
    RefPtr<RunLoopTimer> second, self = loop.scheduleTimer(kInterval, true, [&] { ++selfCalls; self->invalidate(); });
    RefPtr<RunLoopTimer> first = loop.scheduleTimer(kInterval, true, [&] { ++firstCalls; second->invalidate(); });
    second = loop.scheduleTimer(kInterval, true, [&] { ++secondCalls; });
    for (int pass = 0; pass < 2; ++pass) {
        clock.advance(kInterval);
        loop.runOnce();
    }
    EXPECT_TRUE(selfCalls == 1 && firstCalls == 2 && secondCalls == 0 && !self->isValid());
    first->invalidate();
    RefPtr<Object> owner = makeRef<Object>();
    loop.scheduleTimer(1000, true, [owner] {})->invalidate();  // releases the captures, breaking a timer <-> owner cycle
    EXPECT_TRUE(owner->retainCount() == 1u && loop.runOnce() == 0);
}
