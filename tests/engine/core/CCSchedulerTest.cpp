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

using Call = std::pair<std::string, float>;  // "name.method" and the time passed

// A scheduler target that logs each of its callbacks, then runs the hook set for it.
struct Probe : Object {
    Probe(std::string name, std::vector<Call>* log, bool* destroyed = nullptr)
        : name_(std::move(name)), log_(log), destroyed_(destroyed) {}
    ~Probe() override {
        if (destroyed_) *destroyed_ = true;
    }
    void update(float dt) { record("update", dt, onUpdate); }
    void tick(float dt) { record("tick", dt, onTick); }
    void tock(float dt) { record("tock", dt, nullptr); }
    void record(const char* method, float dt, const std::function<void()>& hook) {
        log_->push_back({name_ + "." + method, dt});
        if (hook) hook();
    }
    std::function<void()> onUpdate, onTick;
    std::string name_;
    std::vector<Call>* log_;
    bool* destroyed_;
};

const SEL_SCHEDULE tick = ccSelector(&Probe::tick);
const SEL_SCHEDULE tock = ccSelector(&Probe::tock);
using Names = std::vector<std::string>;

class CCSchedulerTest : public testing::Test {
protected:
    RefPtr<Probe> probe(const std::string& name, bool* destroyed = nullptr) {
        return makeRef<Probe>(name, &calls, destroyed);
    }
    // The calls made by `count` ticks of dt seconds.
    Names run(int count, float dt = 0.1f) {
        calls.clear();
        for (int i = 0; i < count; ++i) scheduler->update(dt);
        Names names;
        for (const Call& call : calls) names.push_back(call.first);
        return names;
    }
    // Schedules the selectors on the target every frame, unpaused, and starts them with one tick.
    void start(Probe* target, std::initializer_list<SEL_SCHEDULE> selectors) {
        for (SEL_SCHEDULE selector : selectors) scheduler->scheduleSelector(selector, target, 0, false);
        run(1);
    }
    void updates(std::initializer_list<std::pair<Probe*, int64_t>> targets) {
        for (auto [target, priority] : targets) scheduler->scheduleUpdateForTarget(target, priority, false);
    }
    std::vector<Call> calls;
    RefPtr<CCScheduler> scheduler = makeRef<CCScheduler>();
};

TEST_F(CCSchedulerTest, FrameOrderIsUpdatesByPriorityThenTimersTargetByTarget) {
    RefPtr<Probe> min = probe("min"), neg1a = probe("neg1a"), neg1b = probe("neg1b"), zeroA = probe("zeroA"),
                  zeroB = probe("zeroB"), pos1 = probe("pos1"), pos3 = probe("pos3"), t1 = probe("t1");
    RefPtr<Probe> t2 = probe("t2");
    scheduler->scheduleSelector(tick, t2.get(), 0, false);
    updates({{pos3.get(), 3}, {zeroA.get(), 0}, {neg1a.get(), -1}, {zeroB.get(), 0}, {pos1.get(), 1}});
    scheduler->scheduleSelector(tick, t1.get(), 0, false);
    updates({{neg1b.get(), -1}, {min.get(), INT32_MIN}});
    scheduler->scheduleSelector(tock, t2.get(), 0, false);
    scheduler->scheduleUpdateForTarget(zeroA.get(), -100, true);  // keeps the first priority and flag
    Names order = {"min.update", "neg1a.update", "neg1b.update", "zeroA.update",
                   "zeroB.update",   "pos1.update",  "pos3.update"};
    EXPECT_EQ(run(1), order);  // the first tick only starts the timers
    order.insert(order.end(), {"t2.tick", "t2.tock", "t1.tick"});
    scheduler->setTimeScale(0.5f);
    EXPECT_EQ(run(1, 0.25f), order);
    for (const Call& call : calls) EXPECT_EQ(call.second, 0.125f) << call.first;
}

TEST_F(CCSchedulerTest, TimerCallbacksMayUnscheduleThemselvesAndOthers) {
    // The first timer unschedules the second: the second does not fire. The first unschedules
    // itself from slot 0: the one moving into that slot is not skipped.
    RefPtr<Probe> a = probe("a"), b = probe("b"), late = probe("late");
    for (SEL_SCHEDULE removed : {tock, tick}) {
        start(a.get(), {tick, tock});
        a->onTick = [&, removed] { scheduler->unscheduleSelector(removed, a.get()); };
        EXPECT_EQ(run(1), removed == tock ? Names{"a.tick"} : (Names{"a.tick", "a.tock"}));
        scheduler->unscheduleAllSelectorsForTarget(a.get());
    }
    // A timer unschedules every timer of a target walked after its own, and adds one to a target
    // walked later: none of the first fires; the new one is only started.
    a->onTick = nullptr;
    start(a.get(), {tick});
    start(b.get(), {tick, tock});
    a->onTick = [&] {
        scheduler->unscheduleAllSelectorsForTarget(b.get());
        scheduler->scheduleSelector(tick, late.get(), 0, false);
    };
    EXPECT_EQ(run(1), Names{"a.tick"});
    EXPECT_EQ(b->retainCount(), 1u);
    a->onTick = nullptr;
    EXPECT_EQ(run(1), (Names{"a.tick", "late.tick"}));
    // A timer unschedules all of its target and drops the target's last outside owner: the target
    // and the timer live until the callback returns, and the second timer is not fired.
    bool destroyed = false, aliveAfterRelease = false;
    RefPtr<Probe> doomed = probe("doomed", &destroyed);
    start(doomed.get(), {tick, tock});
    Probe* raw = doomed.get();
    raw->onTick = [&] {
        scheduler->unscheduleAllSelectorsForTarget(raw);
        doomed.reset();
        aliveAfterRelease = !destroyed;
    };
    EXPECT_EQ(run(1), (Names{"a.tick", "late.tick", "doomed.tick"}));
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(destroyed);
}

TEST_F(CCSchedulerTest, UpdateCallbacksMayUnscheduleDuringTheTick) {
    RefPtr<Probe> first = probe("first"), second = probe("second"), third = probe("third");
    updates({{first.get(), 0}, {second.get(), 0}, {third.get(), 0}});
    // The next entry of the same list is not called, and is released only at the end of the tick.
    uint32_t countDuringTick = 0;
    first->onUpdate = [&] { scheduler->unscheduleUpdateForTarget(second.get()); };
    third->onUpdate = [&] { countDuringTick = second->retainCount(); };
    EXPECT_EQ(run(1), (Names{"first.update", "third.update"}));
    EXPECT_EQ(countDuringTick, 2u);
    EXPECT_EQ(second->retainCount(), 1u);
    first->onUpdate = nullptr;
    // Unscheduled and scheduled again in the same tick: it stays, with its first priority. A new
    // entry after the walk's position runs in the same tick; one before it does not.
    RefPtr<Probe> later = probe("later"), earlier = probe("earlier");
    third->onUpdate = [&] {
        scheduler->unscheduleUpdateForTarget(third.get());
        updates({{third.get(), 5}, {later.get(), 1}, {earlier.get(), -1}});
    };
    EXPECT_EQ(run(1), (Names{"first.update", "third.update", "later.update"}));
    third->onUpdate = nullptr;
    EXPECT_EQ(run(1), (Names{"earlier.update", "first.update", "third.update", "later.update"}));
    // An update unschedules itself and drops its target's last outside owner: the target lives
    // until the end of the tick, and the rest of the lists still run.
    bool destroyed = false, aliveAfterRelease = false;
    RefPtr<Probe> doomed = probe("doomed", &destroyed);
    updates({{doomed.get(), 0}});
    Probe* raw = doomed.get();
    raw->onUpdate = [&] {
        scheduler->unscheduleUpdateForTarget(raw);
        doomed.reset();
        aliveAfterRelease = !destroyed;
    };
    EXPECT_EQ(run(1), (Names{"earlier.update", "first.update", "third.update", "doomed.update", "later.update"}));
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(destroyed);
}

// Pausing and unscheduling from a minimum priority take every timer, whatever its target's
// priority, and the updates from that priority on.
TEST_F(CCSchedulerTest, MinPriorityOperationsTakeEveryTimerButOnlyUpdatesFromThatPriority) {
    RefPtr<Probe> low = probe("low"), both = probe("both"), high = probe("high"), timerOnly = probe("timerOnly");
    updates({{low.get(), INT32_MIN}, {both.get(), 0}, {high.get(), 2}});
    start(both.get(), {tick});
    start(timerOnly.get(), {tick});
    std::vector<RefPtr<Object>> paused = scheduler->pauseAllTargetsWithMinPriority(0);
    EXPECT_EQ(paused, (std::vector<RefPtr<Object>>{both, timerOnly, high}));  // each once
    EXPECT_EQ(run(1), Names{"low.update"});
    scheduler->resumeTargets(paused);
    paused.clear();
    EXPECT_EQ(run(1).size(), 5u);
    scheduler->unscheduleAllSelectorsWithMinPriority(0);
    EXPECT_EQ(run(1), Names{"low.update"});
    for (Probe* gone : {both.get(), high.get(), timerOnly.get()}) EXPECT_EQ(gone->retainCount(), 1u);
    // Everything, called from a callback: the rest of that tick is cancelled too.
    low->onUpdate = [&] { scheduler->unscheduleAllSelectors(); };
    updates({{both.get(), 0}});
    EXPECT_EQ(run(2), Names{"low.update"});
    for (Probe* gone : {low.get(), both.get()}) EXPECT_EQ(gone->retainCount(), 1u);
}

TEST_F(CCSchedulerTest, TimersKeepTheirDelayRepeatAndKey) {
    // Repeat 2 after a delay of 3 s in 0.625 s frames: 3.125 s at the delay (0.125 s carried),
    // then 1.375 s and 1.25 s apart (the excess over the interval dropped); then it is removed.
    RefPtr<Probe> target = probe("target");
    scheduler->scheduleSelector(tick, target.get(), 1, false, 2, 3);
    run(20, 0.625f);
    EXPECT_EQ(calls, (std::vector<Call>{{"target.tick", 3.125f}, {"target.tick", 1.375f}, {"target.tick", 1.25f}}));
    EXPECT_EQ(target->retainCount(), 1u);
    // Block timers are found again by their key.
    std::vector<float> fired;
    int other = 0;
    scheduler->scheduleBlockForKey("count", target.get(), 0.25f, false, 1, 0, [&](float dt) { fired.push_back(dt); });
    scheduler->scheduleBlockForKey("other", target.get(), 0, false, CCTimerRepeatForever, 0, [&](float) { ++other; });
    // The same key (compared as a string) changes only the interval; the first block stays.
    scheduler->scheduleBlockForKey(std::string("cou") + "nt", target.get(), 0.125f, false, 5, 0,
                                   [&](float) { ADD_FAILURE() << "replaced block called"; });
    start(target.get(), {tick});
    run(9, 0.125f);
    EXPECT_EQ(fired, (std::vector<float>{0.125f, 0.125f}));  // repeat 1: two firings, then gone
    EXPECT_EQ(other, 9);
    scheduler->unscheduleBlockForKey("other", target.get());  // the selector timer stays
    EXPECT_EQ(run(1), Names{"target.tick"});
    EXPECT_THROW(scheduler->scheduleSelector(tick, nullptr, 0, false), NamedException);
    EXPECT_THROW(scheduler->scheduleBlockForKey("k", target.get(), 0, false, 0, 0, nullptr), NamedException);
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
        Probe* probe = probes.emplace_back(makeRef<Probe>("p", &log)).get();
        scheduler->scheduleUpdateForTarget(probe, i % 3 - 1, false);
        scheduler->scheduleSelector(tick, probe, (i % 4) * 0.02f, false);
        scheduler->scheduleBlockForKey("b", probe, 0, false, CCTimerRepeatForever, 0, [&](float) { ++blockFirings; });
        for (int a = 0; a < 3; ++a) {
            actions.push_back(CCActionInterval::actionWithDuration(1000));
            actionManager->addAction(actions.back().get(), probe, false);
        }
    }
    scheduler->update(1.0f / 60);
    AllocationCounter counter;
    for (int i = 0; i < 30; ++i) scheduler->update(1.0f / 60);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(blockFirings, 12 * 30);
    EXPECT_NEAR(actions.front()->elapsed(), 0.5f, 1e-3f);
}

}  // namespace
