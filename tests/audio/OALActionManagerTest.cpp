#include <gtest/gtest.h>

#include <thread>

#include "audio/OALActionTestSupport.h"
#include "audio/OALCallAction.h"
#include "audio/OALPropertyAction.h"
#include "audio/OALSequentialActions.h"
#include "support/AllocationCounter.h"

namespace {

using P = OALPropertyAction;

TEST_F(AudioActionTest, TheTimerExistsOnlyWhileActionsRunAndIsNeverDoubled) {
    EXPECT_FALSE(manager()->stepTimer());
    RefPtr<OALAction> first = P::gainActionWithDuration(1, 0);
    first->runWithTarget(&target);
    const RefPtr<RunLoopTimer> timer = manager()->stepTimer();
    ASSERT_TRUE(timer && timer->isValid());
    first->stopAction();  // before any step: never adopted
    P::panActionWithDuration(0.25f, 1)->runWithTarget(&target);
    EXPECT_EQ(manager()->stepTimer(), timer);
    stepAfter(0);
    stepAfter(0.25);  // the pan ends
    EXPECT_EQ(manager()->stepTimer(), timer);
    stepAfter(0.1);
    EXPECT_FALSE(manager()->stepTimer());
    EXPECT_FALSE(timer->isValid());
    EXPECT_FLOAT_EQ(target.values["gain"], 1);  // the stopped fade was never stepped

    first->runWithTarget(&target);  // a start and stop before any step leaves no timer behind
    first->stopAction();
    stepAfter(0.1);
    EXPECT_FALSE(manager()->stepTimer());
}

TEST_F(AudioActionTest, AHalfSecondFadeEndsWithExactlyOneOnTheStepItsIntervalsReachHalfASecond) {
    int calls = 0;
    OALSequentialActions::actions({P::gainActionWithDuration(0.5f, 0, 1), makeRef<OALCallAction>([&] { ++calls; })})
        ->runWithTarget(&target);
    stepAfter(1);  // adopts, counting no time
    EXPECT_EQ(target.values["gain"], 0);
    for (int step = 1; step < 16; ++step) stepAfter(1.0 / 32);
    EXPECT_LT(target.values["gain"], 1);
    EXPECT_EQ(calls, 0);
    stepAfter(0.05);  // overshoots the end by 0.01875 s
    EXPECT_EQ(target.values["gain"], 1);
    EXPECT_EQ(calls, 1);
    stepAfter(1.0 / 32);
    EXPECT_EQ(calls, 1);
}

TEST_F(AudioActionTest, TwoFadesOnOneTargetFinishSeparately) {
    P::gainActionWithDuration(0.5f, 0, 1)->runWithTarget(&target);
    P::panActionWithDuration(1, 0, 1)->runWithTarget(&target);
    const float rows[][3] = {{0, 0, 0}, {0.25f, 0.5f, 0.25f}, {0.25f, 1, 0.5f}, {0.25f, 7, 0.75f}, {0.25f, 7, 1}};
    for (const auto& row : rows) {  // seconds, gain, pan
        stepAfter(row[0]);
        EXPECT_FLOAT_EQ(target.values["gain"], row[1]);
        EXPECT_FLOAT_EQ(target.values["pan"], row[2]);
        if (row[1] == 1) target.values["gain"] = 7;  // the finished fade must leave this alone
    }
}

TEST_F(AudioActionTest, StopAllActionsAndAResetTimeDeltaStopTheClockForEveryAction) {
    P::gainActionWithDuration(1, 0, 1)->runWithTarget(&target);
    stepAfter(0);
    stepAfter(0.25);
    manager()->doResetTimeDelta();
    stepAfter(0.5);
    EXPECT_FLOAT_EQ(target.values["gain"], 0.25f);
    P::panActionWithDuration(1, 0, 1)->runWithTarget(&target);  // still queued
    manager()->stopAllActions();
    stepAfter(0.25);
    EXPECT_FLOAT_EQ(target.values["gain"], 0.25f);
    EXPECT_EQ(target.values["pan"], 0);
    EXPECT_FALSE(manager()->stepTimer());
}

TEST_F(AudioActionTest, StartsAndStopsDuringAnUpdateTakeEffectAtTheirTurnWithoutTheManagersLock) {
    RefPtr<OALAction> next = P::panActionWithDuration(1, 0, 1);
    OALSequentialActions::actions({P::gainActionWithDuration(0.5f, 0, 1),
                                   makeRef<OALCallAction>([&] { next->runWithTarget(&target); })})
        ->runWithTarget(&target);
    FakeTarget second;  // stepped after `target`
    RefPtr<OALAction> secondFade = P::gainActionWithDuration(1, 0, 1);
    secondFade->runWithTarget(&second);
    stepAfter(0);
    const int secondWrites = second.writes;
    // Stopped before its turn in this step, by another thread while the target's setter waits for it:
    // a step holding the manager's lock while it updates would deadlock here.
    target.onWrite = [&] { std::thread([&] { secondFade->stopAction(); }).join(); };
    stepAfter(0.5);
    EXPECT_EQ(second.writes, secondWrites);
    EXPECT_EQ(target.values["pan"], 0);  // started by the call: stepped from the next step on
    target.onWrite = nullptr;
    stepAfter(0.25);
    EXPECT_FLOAT_EQ(target.values["pan"], 0.25f);
}

TEST_F(AudioActionTest, ASteadyStepAllocatesNothing) {
    FakeTarget targets[10];
    for (FakeTarget& each : targets) P::gainActionWithDuration(100, 0, 1)->runWithTarget(&each);
    stepAfter(0);
    stepAfter(0.1);
    AllocationCounter counter;
    for (int step = 0; step < 5; ++step) stepAfter(0.1);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_FLOAT_EQ(targets[9].values["gain"], 0.006f);
}

}  // namespace
