#include <gtest/gtest.h>

#include <vector>

#include "audio/OALCallAction.h"
#include "audio/OALConcurrentActions.h"
#include "audio/OALEaseAction.h"
#include "audio/OALMoveToAction.h"
#include "audio/OALPlaceAction.h"
#include "audio/OALPropertyAction.h"
#include "audio/OALSequentialActions.h"
#include "audio/OALTargetedAction.h"
#include "audio/OALActionTestSupport.h"
#include "platform/foundation/NamedException.h"

namespace {

using P = OALPropertyAction;

TEST(OALEaseCurves, PassFixedPointsAndEndExactly) {
    struct Row { int shape, phase; float t, expected; };
    const int sine = OALEaseShapeSine, exp = OALEaseShapeExponential;
    const int in = OALEasePhaseIn, out = OALEasePhaseOut, inOut = OALEasePhaseInOut;
    const Row rows[] = {
        {sine, in, 0.5f, 0.2928932f},   {sine, in, 1, 1},           {sine, out, 0.5f, 0.7071068f},
        {sine, inOut, 0.25f, 0.1464466f}, {sine, inOut, 0.5f, 0.5f}, {exp, in, 0, 0},
        {exp, in, 0.5f, 0.03125f},      {exp, in, 1, 1},            {exp, out, 0, 0},
        {exp, out, 0.5f, 0.96875f},     {exp, out, 1, 1},           {exp, inOut, 0, 0},
        {exp, inOut, 0.25f, 0.0625836f}, {exp, inOut, 0.5f, 0.5006927f}, {exp, inOut, 0.75f, 0.9375866f},
        {exp, inOut, 1, 1},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(OALEaseAction::easeFunctionForShape(row.shape, row.phase)(row.t), row.expected, 1e-6)
            << row.shape << "," << row.phase << " at " << row.t;
    }
    EXPECT_THROW(OALEaseAction::easeFunctionForShape(2, 0), NamedException);
    EXPECT_THROW(OALEaseAction::easeFunctionForShape(0, 3), NamedException);
    EXPECT_THROW(OALEaseAction::easeFunctionForShape(0, -1), NamedException);
}

TEST_F(AudioActionTest, PropertyActionsStartFromTheValueTheTargetHasEachTimeTheyRun) {
    struct Row { RefPtr<OALPropertyAction> action; const char* key; float atHalf, atEnd; };
    const Row rows[] = {
        {P::gainActionWithDuration(1, 0), "gain", 0.4f, 0},
        {P::gainActionWithDuration(1, 0.5f, 1), "gain", 0.75f, 1},
        {P::panActionWithDuration(1, 1), "pan", 0, 1},
        {P::panActionWithDuration(1, 1, 0), "pan", 0.5f, 0},
        {P::pitchActionWithDuration(1, 1), "pitch", 1.5f, 1},
        {P::pitchActionWithDuration(1, 0.5f, 1.5f), "pitch", 1, 1.5f},
    };
    for (const Row& row : rows) {
        FakeTarget fresh;
        fresh.values = {{"gain", 0.8f}, {"pan", -1}, {"pitch", 2}};  // set after the actions were built
        row.action->prepareWithTarget(&fresh);
        row.action->updateCompletion(0.5f);
        EXPECT_FLOAT_EQ(fresh.values.at(row.key), row.atHalf) << row.key;
        row.action->updateCompletion(1);
        EXPECT_FLOAT_EQ(fresh.values.at(row.key), row.atEnd) << row.key;
    }
    // Run again from elsewhere, a fade without a start value starts from there.
    RefPtr<OALPropertyAction> fade = rows[0].action;
    target.values["gain"] = 0.2f;
    fade->prepareWithTarget(&target);
    fade->updateCompletion(0.5f);
    EXPECT_FLOAT_EQ(target.values["gain"], 0.1f);
}

TEST_F(AudioActionTest, InstantActionsRunWholeInsideRunWithTargetAndNeverReachTheManager) {
    struct Receiver {
        void none() { log.push_back(nullptr); }
        void one(FakeTarget* a) { log.push_back(a); }
        void two(FakeTarget* a, FakeTarget* b) { log.insert(log.end(), {a, b}); }
        std::vector<FakeTarget*> log;
    } receiver;
    FakeTarget other;
    RefPtr<OALAction> actions[] = {
        P::gainActionWithDuration(0, 0.2f, 0.9f),
        OALPlaceAction::actionWithPosition({1, 2, 3}),
        OALSequentialActions::actions({}),
        OALSequentialActions::actions({P::panActionWithDuration(0, 0.5f, 1),
                                       OALCallAction::actionWithCallTarget(&receiver, &Receiver::none)}),
        OALCallAction::actionWithCallTarget(&receiver, &Receiver::one, &target),
        OALCallAction::actionWithCallTarget(&receiver, &Receiver::two, &other, &target),
        OALCallAction::actionWithCallTarget(static_cast<Receiver*>(nullptr), &Receiver::none),
    };
    for (const RefPtr<OALAction>& action : actions) {
        action->runWithTarget(&target);
        EXPECT_FALSE(action->running());
        EXPECT_FALSE(action->runningInManager());
    }
    EXPECT_FLOAT_EQ(target.values["gain"], 0.2f);  // a 0 s property action stays at its start
    EXPECT_EQ(target.where, (ALXYZ{1, 2, 3}));
    EXPECT_EQ(receiver.log, (std::vector<FakeTarget*>{nullptr, &target, &other, &target}));
    EXPECT_THROW(actions[0]->runWithTarget(nullptr), NamedException);
}

TEST_F(AudioActionTest, MovesGoFromWhereTheTargetIsWhenPrepared) {
    struct Row { RefPtr<OALMoveByAction> action; float builtDuration, preparedDuration; ALXYZ atHalf; };
    const Row rows[] = {
        {OALMoveToAction::actionWithUnitsPerSecond(2, {7, 1, 1}), 0, 3, {4, 1, 1}},
        {OALMoveToAction::actionWithDuration(4, {1, 3, 5}), 4, 4, {1, 2, 3}},
        {OALMoveByAction::actionWithUnitsPerSecond(2, {0, 3, 4}), 2.5f, 2.5f, {1, 2.5f, 3}},
        {OALMoveByAction::actionWithDuration(1, {2, 0, -2}), 1, 1, {2, 1, 0}},
    };
    for (const Row& row : rows) {
        EXPECT_FLOAT_EQ(row.action->duration(), row.builtDuration);
        FakeTarget fresh;
        fresh.where = {1, 1, 1};
        row.action->prepareWithTarget(&fresh);
        EXPECT_FLOAT_EQ(row.action->duration(), row.preparedDuration);
        row.action->updateCompletion(0.5f);
        EXPECT_EQ(fresh.where, row.atHalf) << row.preparedDuration;
    }
}

TEST_F(AudioActionTest, EaseAndTargetedActionsPassEveryStepToTheirInnerAction) {
    FakeTarget forced;
    RefPtr<OALPropertyAction> inner = P::gainActionWithDuration(2, 0, 1);
    RefPtr<OALAction> ease = OALEaseAction::actionWithShape(OALEaseShapeExponential, OALEasePhaseOut, inner);
    RefPtr<OALAction> targeted = OALTargetedAction::actionWithTarget(&forced, ease);
    targeted->prepareWithTarget(&target);
    EXPECT_FLOAT_EQ(targeted->duration(), 2);
    targeted->startAction();
    targeted->updateCompletion(0.5f);
    EXPECT_FLOAT_EQ(forced.values["gain"], 0.96875f);
    EXPECT_EQ(target.writes, 0);
    EXPECT_EQ(targeted->target(), &target);  // the manager groups it under the target it runs with
    targeted->stopAction();
    EXPECT_FALSE(inner->running());
}

TEST_F(AudioActionTest, ASequenceFinishesEachMemberBeforeTheNextAndCallsAtTheEnd) {
    std::vector<float> gainAtCall;
    auto fade = [&] {
        return OALSequentialActions::actions({P::gainActionWithDuration(1, 0, 1), P::panActionWithDuration(3, 0, 1),
                                              makeRef<OALCallAction>([&] { gainAtCall.push_back(target.values["gain"]); })});
    };
    RefPtr<OALSequentialActions> sequence = fade();
    sequence->prepareWithTarget(&target);
    EXPECT_FLOAT_EQ(sequence->duration(), 4);
    sequence->startAction();
    sequence->updateCompletion(0.125f);
    EXPECT_FLOAT_EQ(target.values["gain"], 0.5f);
    sequence->updateCompletion(0.5f);  // past the gain's end: it ends at exactly 1 on the way
    EXPECT_EQ(target.values["gain"], 1);
    EXPECT_FLOAT_EQ(target.values["pan"], 1.0f / 3);
    EXPECT_TRUE(gainAtCall.empty());
    sequence->updateCompletion(1);
    EXPECT_EQ(gainAtCall, std::vector<float>{1});
    EXPECT_EQ(target.values["pan"], 1);

    RefPtr<OALSequentialActions> stopped = fade();  // stopped early: the call never comes
    stopped->runWithTarget(&target);
    stopped->stopAction();
    EXPECT_EQ(gainAtCall.size(), 1u);
}

TEST_F(AudioActionTest, ConcurrentMembersRunOnTheirOwnShareOfTheLongest) {
    int calls = 0;
    RefPtr<OALConcurrentActions> group = OALConcurrentActions::actions(
        {P::gainActionWithDuration(1, 0, 1), P::panActionWithDuration(2, 0, 1), makeRef<OALCallAction>([&] { ++calls; })});
    group->prepareWithTarget(&target);
    EXPECT_FLOAT_EQ(group->duration(), 2);
    group->startAction();
    EXPECT_EQ(calls, 1);
    const float rows[][3] = {{0.25f, 0.5f, 0.25f}, {0.75f, 1, 0.75f}, {1, 1, 1}};  // fraction, gain, pan
    for (const auto& row : rows) {
        group->updateCompletion(row[0]);
        EXPECT_FLOAT_EQ(target.values["gain"], row[1]) << row[0];
        EXPECT_FLOAT_EQ(target.values["pan"], row[2]) << row[0];
    }
}

}  // namespace
