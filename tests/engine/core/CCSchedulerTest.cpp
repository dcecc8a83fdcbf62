#include "engine/core/CCScheduler.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "engine/actions/CCActionInterval.h"
#include "engine/actions/CCActionManager.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"

namespace {

struct Call {
    std::string what;  // "name.method"
    float dt;
};

// A scheduler target that records each of its callbacks in a shared log and then runs the
// optional hook for that callback.
struct Probe : Object {
    Probe(std::string name, std::vector<Call>* log, bool* destroyed = nullptr)
        : name_(std::move(name)), log_(log), destroyed_(destroyed) {}
    ~Probe() override {
        if (destroyed_) *destroyed_ = true;
    }

    void update(float dt) { record("update", dt, onUpdate); }
    void tick(float dt) { record("tick", dt, onTick); }
    void tock(float dt) { record("tock", dt, onTock); }

    std::function<void()> onUpdate, onTick, onTock;

private:
    void record(const char* method, float dt, const std::function<void()>& hook) {
        log_->push_back({name_ + "." + method, dt});
        if (hook) hook();
    }

    std::string name_;
    std::vector<Call>* log_;
    bool* destroyed_;
};

const SEL_SCHEDULE tick = ccSelector(&Probe::tick);
const SEL_SCHEDULE tock = ccSelector(&Probe::tock);

class CCSchedulerTest : public testing::Test {
protected:
    RefPtr<Probe> probe(const std::string& name, bool* destroyed = nullptr) {
        return makeRef<Probe>(name, &calls, destroyed);
    }

    // The calls made by `count` ticks of dt seconds; the log is emptied first.
    std::vector<std::string> run(int count, float dt) {
        calls.clear();
        for (int i = 0; i < count; ++i) scheduler->update(dt);
        std::vector<std::string> names;
        for (const Call& call : calls) names.push_back(call.what);
        return names;
    }

    std::vector<float> arguments(const std::string& what) const {
        std::vector<float> dts;
        for (const Call& call : calls) {
            if (call.what == what) dts.push_back(call.dt);
        }
        return dts;
    }

    std::vector<Call> calls;
    RefPtr<CCScheduler> scheduler = makeRef<CCScheduler>();
};

using Names = std::vector<std::string>;

TEST_F(CCSchedulerTest, FrameOrderIsUpdatesByPriorityThenTimersTargetByTarget) {
    RefPtr<Probe> actions = probe("actions"), neg5 = probe("neg5"), neg1a = probe("neg1a"), neg1b = probe("neg1b"),
                  zeroA = probe("zeroA"), zeroB = probe("zeroB"), pos1 = probe("pos1"), pos3 = probe("pos3"),
                  t1 = probe("t1"), t2 = probe("t2");
    scheduler->scheduleSelector(tick, t2.get(), 0, false);
    scheduler->scheduleUpdateForTarget(pos3.get(), 3, false);
    scheduler->scheduleUpdateForTarget(zeroA.get(), 0, false);
    scheduler->scheduleUpdateForTarget(neg1a.get(), -1, false);
    scheduler->scheduleUpdateForTarget(zeroB.get(), 0, false);
    scheduler->scheduleUpdateForTarget(pos1.get(), 1, false);
    scheduler->scheduleSelector(tick, t1.get(), 0, false);
    scheduler->scheduleUpdateForTarget(neg5.get(), -5, false);
    scheduler->scheduleUpdateForTarget(neg1b.get(), -1, false);
    scheduler->scheduleUpdateForTarget(actions.get(), INT32_MIN, false);
    scheduler->scheduleSelector(tock, t2.get(), 0, false);
    // A second scheduling keeps the first priority and paused state.
    scheduler->scheduleUpdateForTarget(zeroA.get(), -100, true);

    const Names updates = {"actions.update", "neg5.update", "neg1a.update", "neg1b.update",
                           "zeroA.update",   "zeroB.update", "pos1.update",  "pos3.update"};
    // The first tick only starts the timers.
    EXPECT_EQ(run(1, 0.25f), updates);
    Names second = updates;
    second.insert(second.end(), {"t2.tick", "t2.tock", "t1.tick"});
    EXPECT_EQ(run(1, 0.25f), second);
    for (const Call& call : calls) EXPECT_EQ(call.dt, 0.25f) << call.what;
}

TEST_F(CCSchedulerTest, IntervalTimerStartsOnItsFirstTickAndDropsTheExcess) {
    RefPtr<Probe> exact = probe("exact"), excess = probe("excess");
    scheduler->scheduleSelector(tick, exact.get(), 0.5f, false);
    run(13, 0.125f);  // start, then 4 ticks per firing
    EXPECT_EQ(arguments("exact.tick"), (std::vector<float>{0.5f, 0.5f, 0.5f}));

    // 0.375 s frames: 0.75 s pass before each firing because the 0.25 s beyond the interval is
    // dropped (carried over, the second firing would come one frame earlier).
    scheduler->unscheduleAllSelectors();
    scheduler->scheduleSelector(tick, excess.get(), 0.5f, false);
    EXPECT_EQ(run(7, 0.375f), (Names{"excess.tick", "excess.tick", "excess.tick"}));
    EXPECT_EQ(arguments("excess.tick"), (std::vector<float>{0.75f, 0.75f, 0.75f}));
    EXPECT_TRUE(run(1, 0.375f).empty());

    // A timer used on its own fires its target the same way.
    RefPtr<CCTimerTargetSelector> single = CCTimerTargetSelector::timerWithTarget(exact.get(), tick, 0.25f);
    calls.clear();
    for (int i = 0; i < 5; ++i) single->update(0.125f);
    EXPECT_EQ(arguments("exact.tick"), (std::vector<float>{0.25f, 0.25f}));
}

TEST_F(CCSchedulerTest, DelayAndRepeatFireRepeatPlusOneTimesCarryingTheRemainder) {
    RefPtr<Probe> target = probe("target");
    scheduler->scheduleSelector(tick, target.get(), 1, false, 2, 3);
    EXPECT_EQ(target->retainCount(), 2u);
    run(20, 0.625f);
    // 3.125 s at the delay (0.125 s carried), then 1.375 s and 1.25 s apart; then it is removed.
    EXPECT_EQ(arguments("target.tick"), (std::vector<float>{3.125f, 1.375f, 1.25f}));
    EXPECT_EQ(target->retainCount(), 1u);

    // Repeat 0 with a delay fires once, after the delay.
    scheduler->scheduleSelector(tick, target.get(), 0, false, 0, 0.25f);
    EXPECT_EQ(run(6, 0.125f), Names{"target.tick"});
    EXPECT_EQ(arguments("target.tick"), std::vector<float>{0.25f});
    EXPECT_EQ(target->retainCount(), 1u);

    // Scheduling a selector again changes only its interval: the progress and the repeat stay.
    scheduler->scheduleSelector(tick, target.get(), 10, false);
    run(2, 0.5f);
    scheduler->scheduleSelector(tick, target.get(), 0.75f, false, 0, 5);
    run(4, 0.5f);
    EXPECT_EQ(arguments("target.tick"), (std::vector<float>{1.0f, 1.0f}));
}

TEST_F(CCSchedulerTest, TimeScaleStretchesEveryFrameTime) {
    RefPtr<Probe> target = probe("target");
    scheduler->scheduleUpdateForTarget(target.get(), 0, false);
    scheduler->scheduleSelector(tick, target.get(), 0.25f, false);

    scheduler->setTimeScale(0.5f);
    EXPECT_EQ(run(3, 0.25f), (Names{"target.update", "target.update", "target.update", "target.tick"}));
    EXPECT_EQ(arguments("target.update"), (std::vector<float>{0.125f, 0.125f, 0.125f}));
    EXPECT_EQ(arguments("target.tick"), std::vector<float>{0.25f});

    scheduler->setTimeScale(1.0f);
    run(1, 0.1f);
    EXPECT_EQ(arguments("target.update"), std::vector<float>{0.1f});
}

TEST_F(CCSchedulerTest, TimerCallbacksMayUnscheduleThemselvesAndOthers) {
    // Schedules tick and tock on a target and starts them.
    const auto startBoth = [this](Probe* target) {
        scheduler->scheduleSelector(tick, target, 0, false);
        scheduler->scheduleSelector(tock, target, 0, false);
        run(1, 0.1f);
    };
    // The first timer unschedules the second: the second does not fire in that tick.
    RefPtr<Probe> a = probe("a");
    startBoth(a.get());
    a->onTick = [&] { scheduler->unscheduleSelector(tock, a.get()); };
    EXPECT_EQ(run(2, 0.1f), (Names{"a.tick", "a.tick"}));
    scheduler->unscheduleAllSelectorsForTarget(a.get());

    // The first unschedules itself: the second is still stepped in that tick.
    startBoth(a.get());
    a->onTick = [&] { scheduler->unscheduleSelector(tick, a.get()); };
    EXPECT_EQ(run(2, 0.1f), (Names{"a.tick", "a.tock", "a.tock"}));
    scheduler->unscheduleAllSelectorsForTarget(a.get());
    a->onTick = nullptr;

    // A timer unschedules every timer of a target walked after its own: none of them fires.
    RefPtr<Probe> b = probe("b");
    scheduler->scheduleSelector(tick, a.get(), 0, false);
    scheduler->scheduleSelector(tick, b.get(), 0, false);
    scheduler->scheduleSelector(tock, b.get(), 0, false);
    run(1, 0.1f);
    a->onTick = [&] { scheduler->unscheduleAllSelectorsForTarget(b.get()); };
    EXPECT_EQ(run(2, 0.1f), (Names{"a.tick", "a.tick"}));
    EXPECT_EQ(b->retainCount(), 1u);
    scheduler->unscheduleAllSelectorsForTarget(a.get());
    EXPECT_EQ(a->retainCount(), 1u);

    // A timer unschedules all of its target and drops the target's last outside owner: the target
    // and the timer live until the step returns, and the second timer is not fired.
    bool destroyed = false;
    RefPtr<Probe> doomed = probe("doomed", &destroyed);
    startBoth(doomed.get());
    Probe* raw = doomed.get();
    bool aliveAfterRelease = false;
    raw->onTick = [&] {
        scheduler->unscheduleAllSelectorsForTarget(raw);
        doomed.reset();
        aliveAfterRelease = !destroyed;
    };
    EXPECT_EQ(run(1, 0.1f), Names{"doomed.tick"});
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(destroyed);

    // A timer added to a target walked later in the same tick is only started by that tick.
    RefPtr<Probe> late = probe("late");
    scheduler->scheduleSelector(tick, a.get(), 0, false);
    run(1, 0.1f);
    a->onTick = [&] { scheduler->scheduleSelector(tick, late.get(), 0, false); };
    EXPECT_EQ(run(1, 0.1f), Names{"a.tick"});
    a->onTick = nullptr;
    EXPECT_EQ(run(1, 0.1f), (Names{"a.tick", "late.tick"}));
}

TEST_F(CCSchedulerTest, UpdateCallbacksMayUnscheduleDuringTheTick) {
    RefPtr<Probe> first = probe("first"), second = probe("second"), third = probe("third");
    scheduler->scheduleUpdateForTarget(first.get(), 0, false);
    scheduler->scheduleUpdateForTarget(second.get(), 0, false);
    scheduler->scheduleUpdateForTarget(third.get(), 0, false);

    // Unscheduling the next entry of the same list: it is not called, and is released only at
    // the end of the tick.
    uint32_t countDuringTick = 0;
    first->onUpdate = [&] { scheduler->unscheduleUpdateForTarget(second.get()); };
    third->onUpdate = [&] { countDuringTick = second->retainCount(); };
    EXPECT_EQ(run(1, 0.1f), (Names{"first.update", "third.update"}));
    EXPECT_EQ(countDuringTick, 2u);
    EXPECT_EQ(second->retainCount(), 1u);
    first->onUpdate = nullptr;

    // Unscheduled and scheduled again in the same tick: it stays, with its first priority.
    third->onUpdate = [&] {
        scheduler->unscheduleUpdateForTarget(third.get());
        scheduler->scheduleUpdateForTarget(third.get(), 5, false);
    };
    EXPECT_EQ(run(2, 0.1f), (Names{"first.update", "third.update", "first.update", "third.update"}));

    // A new entry that lands after the walk's position runs in the same tick; one before it does not.
    RefPtr<Probe> later = probe("later"), earlier = probe("earlier");
    third->onUpdate = [&] {
        scheduler->scheduleUpdateForTarget(later.get(), 1, false);
        scheduler->scheduleUpdateForTarget(earlier.get(), -1, false);
    };
    EXPECT_EQ(run(1, 0.1f), (Names{"first.update", "third.update", "later.update"}));
    third->onUpdate = nullptr;
    EXPECT_EQ(run(1, 0.1f), (Names{"earlier.update", "first.update", "third.update", "later.update"}));

    // An update unschedules itself and drops its target's last outside owner: the target lives
    // until the end of the tick, and the rest of the lists still run.
    bool destroyed = false;
    RefPtr<Probe> doomed = probe("doomed", &destroyed);
    scheduler->scheduleUpdateForTarget(doomed.get(), 0, false);
    Probe* raw = doomed.get();
    bool aliveAfterRelease = false;
    raw->onUpdate = [&] {
        scheduler->unscheduleUpdateForTarget(raw);
        doomed.reset();
        aliveAfterRelease = !destroyed;
    };
    EXPECT_EQ(run(1, 0.1f), (Names{"earlier.update", "first.update", "third.update", "doomed.update", "later.update"}));
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(destroyed);
}

TEST_F(CCSchedulerTest, PausingStopsTimersAndUpdatesOfATarget) {
    RefPtr<Probe> both = probe("both"), onlyUpdate = probe("onlyUpdate"), low = probe("low"), high = probe("high");
    scheduler->scheduleUpdateForTarget(both.get(), 0, false);
    scheduler->scheduleSelector(tick, both.get(), 0, false);
    scheduler->scheduleUpdateForTarget(onlyUpdate.get(), 0, false);
    run(1, 0.1f);

    scheduler->pauseTarget(both.get());
    scheduler->pauseTarget(onlyUpdate.get());
    EXPECT_TRUE(run(2, 0.1f).empty());
    EXPECT_TRUE(scheduler->isTargetPaused(both.get()));
    EXPECT_FALSE(scheduler->isTargetPaused(onlyUpdate.get()));  // answers for timers only
    EXPECT_FALSE(scheduler->isTargetPaused(nullptr));
    scheduler->resumeTarget(both.get());
    scheduler->resumeTarget(onlyUpdate.get());
    EXPECT_EQ(run(1, 0.1f), (Names{"both.update", "onlyUpdate.update", "both.tick"}));

    // The paused flag of a timer scheduling is taken only for the target's first timer.
    scheduler->scheduleSelector(tock, both.get(), 0, true);
    EXPECT_FALSE(scheduler->isTargetPaused(both.get()));
    scheduler->scheduleSelector(tick, low.get(), 0, true);
    EXPECT_TRUE(scheduler->isTargetPaused(low.get()));
    scheduler->unscheduleAllSelectorsForTarget(low.get());

    // Each paused target is answered once, and resuming them restores everything.
    scheduler->scheduleUpdateForTarget(low.get(), -3, false);
    scheduler->scheduleUpdateForTarget(high.get(), 2, false);
    run(1, 0.1f);
    std::vector<RefPtr<Object>> paused = scheduler->pauseAllTargets();
    EXPECT_EQ(paused, (std::vector<RefPtr<Object>>{both, low, onlyUpdate, high}));
    EXPECT_TRUE(run(1, 0.1f).empty());
    scheduler->resumeTargets(paused);
    EXPECT_EQ(run(1, 0.1f), (Names{"low.update", "both.update", "onlyUpdate.update", "high.update", "both.tick", "both.tock"}));

    // With a minimum priority, every target with timers is paused, updates only from that priority.
    paused = scheduler->pauseAllTargetsWithMinPriority(1);
    EXPECT_EQ(paused, (std::vector<RefPtr<Object>>{both, high}));
    EXPECT_EQ(run(1, 0.1f), (Names{"low.update", "both.update", "onlyUpdate.update"}));
    scheduler->resumeTargets(paused);
    EXPECT_EQ(run(1, 0.1f).size(), 6u);
}

TEST_F(CCSchedulerTest, UnscheduleAllWithMinPriorityKeepsLowerUpdatesOfTargetsWithoutTimers) {
    RefPtr<Probe> actions = probe("actions"), negWithTimer = probe("negWithTimer"), neg = probe("neg"),
                  zero = probe("zero"), pos = probe("pos"), timerOnly = probe("timerOnly");
    scheduler->scheduleUpdateForTarget(actions.get(), INT32_MIN, false);
    scheduler->scheduleUpdateForTarget(negWithTimer.get(), -1, false);
    scheduler->scheduleSelector(tick, negWithTimer.get(), 0, false);
    scheduler->scheduleUpdateForTarget(neg.get(), -1, false);
    scheduler->scheduleUpdateForTarget(zero.get(), 0, false);
    scheduler->scheduleUpdateForTarget(pos.get(), 7, false);
    scheduler->scheduleSelector(tick, timerOnly.get(), 0, false);

    scheduler->unscheduleAllSelectorsWithMinPriority(0);
    EXPECT_EQ(run(2, 0.1f), (Names{"actions.update", "neg.update", "actions.update", "neg.update"}));
    for (Probe* gone : {negWithTimer.get(), zero.get(), pos.get(), timerOnly.get()}) EXPECT_EQ(gone->retainCount(), 1u);

    scheduler->unscheduleAllSelectorsWithMinPriority(-1);
    EXPECT_EQ(run(1, 0.1f), Names{"actions.update"});
    scheduler->unscheduleAllSelectors();
    EXPECT_TRUE(run(1, 0.1f).empty());
    EXPECT_EQ(actions->retainCount(), 1u);

    // Called from a callback during the tick, the rest of that tick is cancelled too.
    scheduler->scheduleUpdateForTarget(zero.get(), 0, false);
    scheduler->scheduleUpdateForTarget(pos.get(), 1, false);
    scheduler->scheduleSelector(tick, timerOnly.get(), 0, false);
    run(1, 0.1f);
    zero->onUpdate = [&] { scheduler->unscheduleAllSelectors(); };
    EXPECT_EQ(run(2, 0.1f), Names{"zero.update"});
    for (Probe* gone : {zero.get(), pos.get(), timerOnly.get()}) EXPECT_EQ(gone->retainCount(), 1u);

    // A scheduler that goes away releases what it still holds.
    scheduler->scheduleUpdateForTarget(pos.get(), 1, false);
    scheduler->scheduleSelector(tick, timerOnly.get(), 0, false);
    scheduler.reset();
    EXPECT_EQ(pos->retainCount(), 1u);
    EXPECT_EQ(timerOnly->retainCount(), 1u);
}

TEST_F(CCSchedulerTest, BlockTimersAreFoundByKeyAndEndAfterTheirRepeatCount) {
    RefPtr<Probe> target = probe("target");
    std::vector<float> fired;
    int other = 0;
    scheduler->scheduleBlockForKey("count", target.get(), 0.25f, false, 1, 0, [&](float dt) { fired.push_back(dt); });
    scheduler->scheduleBlockForKey("other", target.get(), 0, false, CCTimerRepeatForever, 0, [&](float) { ++other; });
    // The same key changes only the interval; the first block stays.
    scheduler->scheduleBlockForKey(std::string("cou") + "nt", target.get(), 0.125f, false, 5, 0,
                                   [&](float) { ADD_FAILURE() << "replaced block called"; });
    scheduler->scheduleSelector(tick, target.get(), 0, false);

    run(10, 0.125f);
    EXPECT_EQ(fired, (std::vector<float>{0.125f, 0.125f}));  // repeat 1: two firings, then gone
    EXPECT_EQ(other, 9);
    EXPECT_EQ(arguments("target.tick").size(), 9u);

    // Removing a block by key leaves the selector timers alone.
    scheduler->unscheduleBlockForKey("other", target.get());
    scheduler->unscheduleBlockForKey("missing", target.get());
    scheduler->unscheduleBlockForKey("other", nullptr);
    EXPECT_EQ(run(1, 0.125f), Names{"target.tick"});
    EXPECT_EQ(other, 9);
    scheduler->unscheduleSelector(tick, target.get());
    EXPECT_EQ(target->retainCount(), 1u);
}

TEST_F(CCSchedulerTest, NullArgumentsAreIgnoredByQueriesAndRefusedWhenScheduling) {
    RefPtr<Probe> target = probe("target");
    scheduler->unscheduleSelector(nullptr, nullptr);
    scheduler->unscheduleSelector(tick, target.get());
    scheduler->unscheduleUpdateForTarget(nullptr);
    scheduler->unscheduleAllSelectorsForTarget(nullptr);
    scheduler->pauseTarget(nullptr);
    scheduler->resumeTarget(target.get());
    EXPECT_THROW(scheduler->scheduleSelector(tick, nullptr, 0, false), NamedException);
    EXPECT_THROW(scheduler->scheduleSelector(nullptr, target.get(), 0, false), NamedException);
    EXPECT_THROW(scheduler->scheduleUpdateForTarget(static_cast<Probe*>(nullptr), 0, false), NamedException);
    EXPECT_THROW(scheduler->scheduleBlockForKey("k", target.get(), 0, false, 0, 0, nullptr), NamedException);
    EXPECT_TRUE(run(2, 0.1f).empty());
    EXPECT_EQ(target->retainCount(), 1u);
}

// A frame of the director's configuration: the action manager first, node updates, node timers.
TEST(CCSchedulerAllocation, SteadyTickOfSchedulerAndActionManagerAllocatesNothing) {
    std::vector<Call> log;
    log.reserve(4096);
    RefPtr<CCScheduler> scheduler = makeRef<CCScheduler>();
    RefPtr<CCActionManager> actionManager = makeRef<CCActionManager>();
    scheduler->scheduleUpdateForTarget(actionManager.get(), INT32_MIN, false);
    std::vector<RefPtr<Probe>> probes;
    std::vector<RefPtr<CCActionInterval>> actions;
    int blockFirings = 0;
    for (int i = 0; i < 12; ++i) {
        RefPtr<Probe> probe = makeRef<Probe>("p", &log);
        scheduler->scheduleUpdateForTarget(probe.get(), i % 3 - 1, false);
        scheduler->scheduleSelector(tick, probe.get(), (i % 4) * 0.02f, false);
        scheduler->scheduleBlockForKey("b", probe.get(), 0, false, CCTimerRepeatForever, 0, [&](float) { ++blockFirings; });
        for (int a = 0; a < 3; ++a) {
            actions.push_back(CCActionInterval::actionWithDuration(1000));
            actionManager->addAction(actions.back().get(), probe.get(), false);
        }
        probes.push_back(probe);
    }
    scheduler->update(1.0f / 60);

    {
        AllocationCounter control;  // the counter sees allocations at all
        RefPtr<Probe> probe = makeRef<Probe>("control", &log);
        EXPECT_GE(control.count(), 1u);
    }

    AllocationCounter counter;
    for (int i = 0; i < 30; ++i) scheduler->update(1.0f / 60);
    for (int i = 0; i < 30; ++i) actionManager->update(1.0f / 60);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_GT(log.size(), 12u * 30u);
    EXPECT_EQ(blockFirings, 12 * 30);
    EXPECT_NEAR(actions.front()->elapsed(), 1.0f, 1e-3f);
}

}  // namespace
