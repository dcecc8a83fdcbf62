#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/actions/CCActionManager.h"
#include "engine/actions/composite/CCDelayTime.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/instant/CCCallBlock.h"
#include "engine/actions/instant/CCCallBlockN.h"
#include "engine/actions/instant/CCCallBlockO.h"
#include "engine/actions/instant/CCCallFuncND.h"
#include "engine/actions/instant/CCCallFuncO.h"
#include "engine/actions/instant/CCHide.h"
#include "engine/actions/instant/CCPlace.h"
#include "engine/actions/instant/CCShow.h"
#include "engine/actions/instant/CCToggleVisibility.h"
#include "engine/core/CCNode.h"
#include "support/HeadlessDirectorTest.h"

namespace {

struct Call {
    std::string kind;
    const void* argument = nullptr;
    void* data = nullptr;
    friend bool operator==(const Call&, const Call&) = default;
};

// A callback target that notes every call it gets and reports its destruction.
struct Receiver : Object {
    explicit Receiver(bool* destroyed = nullptr) : destroyed(destroyed) {}
    ~Receiver() override {
        if (destroyed) *destroyed = true;
    }
    void plain() { calls.push_back({"plain"}); }
    void withNode(CCNode* node) { calls.push_back({"N", node}); }
    void withData(CCNode* node, void* data) { calls.push_back({"ND", node, data}); }
    void withObject(Object* object) { calls.push_back({"O", object}); }
    std::vector<Call> calls;
    bool* destroyed;
};

using CCInstantActionsTest = HeadlessDirectorTest;

// Starts the action on the target and steps it until it is done.
void runToEnd(CCAction* action, Object* target) {
    action->startWithTarget(target);
    for (int step = 0; step < 3 && (step == 0 || !action->isDone()); ++step) action->step(1);
    EXPECT_TRUE(action->isDone());
}

TEST_F(CCInstantActionsTest, NodeActionsSetVisibilityAndPositionAndReverseToTheirOpposites) {
    auto toggleTwice = [] { return CCSequence::actionOne(CCToggleVisibility::action(), CCToggleVisibility::action()); };
    const struct {
        const char* name;
        std::function<RefPtr<CCAction>()> make;
        bool visibleBefore, visibleAfter;
    } rows[] = {
        {"show", [] { return CCShow::action(); }, false, true},
        {"hide", [] { return CCHide::action(); }, true, false},
        {"show reversed", [] { return CCShow::action()->reverse(); }, true, false},
        {"hide reversed", [] { return CCHide::action()->reverse(); }, false, true},
        {"toggle", [] { return CCToggleVisibility::action(); }, true, false},
        {"toggle reversed", [] { return CCToggleVisibility::action()->reverse(); }, false, true},
        {"toggle twice", toggleTwice, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RefPtr<CCNode> node = CCNode::node();
        node->setVisible(row.visibleBefore);
        runToEnd(row.make().get(), node.get());
        EXPECT_EQ(node->visible(), row.visibleAfter);
    }
    RefPtr<CCNode> node = CCNode::node();
    runToEnd(CCPlace::actionWithPosition(CGPointMake(3, -4.5))->copy().get(), node.get());
    EXPECT_EQ(node->position(), CGPointMake(3, -4.5));
    RefPtr<Object> notANode = makeRef<Object>();
    runToEnd(CCShow::action().get(), notANode.get());
}

TEST_F(CCInstantActionsTest, CallActionsPassTheNodeTheDataAndTheObjectAlsoFromCopies) {
    RefPtr<Receiver> receiver = makeRef<Receiver>();
    RefPtr<Object> object = makeRef<Object>();
    int datum = 0;
    auto note = [calls = &receiver->calls](const char* kind, const void* argument) {
        calls->push_back({kind, argument});
    };
    RefPtr<CCFiniteTimeAction> sequence = CCSequence::actions(
        {CCDelayTime::actionWithDuration(1), CCCallFunc::actionWithTarget(receiver, ccCallSelector(&Receiver::plain)),
         CCCallFuncN::actionWithTarget(receiver, ccCallSelector(&Receiver::withNode)),
         CCCallFuncND::actionWithTarget(receiver, ccCallSelector(&Receiver::withData), &datum),
         CCCallFuncO::actionWithTarget(receiver, ccCallSelector(&Receiver::withObject), object),
         CCCallBlock::actionWithBlock([&] { note("block", nullptr); }),
         CCCallBlockN::actionWithBlock([&](CCNode* node) { note("blockN", node); }),
         CCCallBlockO::actionWithBlock([&](Object* argument) { note("blockO", argument); }, object)});
    RefPtr<CCNode> first = CCNode::node();
    RefPtr<CCNode> second = CCNode::node();
    runToEnd(sequence.get(), first.get());
    runToEnd(sequence->copy().get(), second.get());
    std::vector<Call> expected;
    for (CCNode* node : {first.get(), second.get()}) {
        std::vector<Call> run = {{"plain"}, {"N", node},     {"ND", node, &datum},   {"O", object.get()},
                                 {"block"}, {"blockN", node}, {"blockO", object.get()}};
        expected.insert(expected.end(), run.begin(), run.end());
    }
    EXPECT_EQ(receiver->calls, expected);
}

TEST_F(CCInstantActionsTest, CallActionsRetainTheirCallbackTargetAndObjectUntilTheyAreFreed) {
    bool destroyed = false;
    RefPtr<Receiver> receiver = makeRef<Receiver>(&destroyed);
    RefPtr<Object> object = makeRef<Object>();
    RefPtr<CCAction> call = CCCallFuncO::actionWithTarget(receiver, ccCallSelector(&Receiver::withObject), object);
    RefPtr<CCAction> copy = call->copy();
    RefPtr<CCAction> block = CCCallBlockO::actionWithBlock([](Object*) {}, object);
    EXPECT_EQ(object->retainCount(), 4u);
    receiver.reset();
    call.reset();
    EXPECT_FALSE(destroyed);
    copy.reset();
    EXPECT_TRUE(destroyed);
    block.reset();
    EXPECT_EQ(object->retainCount(), 1u);
}

TEST_F(CCInstantActionsTest, ACallThatStopsAllActionsOfItsNodeEndsThemSafelyDuringTheWalk) {
    CCActionManager* manager = CCDirector::sharedDirector()->actionManager();
    RefPtr<CCNode> node = CCNode::node();
    int calls = 0;
    auto stopAll = CCCallBlockN::actionWithBlock([&calls](CCNode* target) {
        ++calls;
        target->stopAllActions();
    });
    manager->addAction(CCSequence::actionOne(CCDelayTime::actionWithDuration(0.5f), stopAll).get(), node.get(), false);
    manager->addAction(CCRepeatForever::actionWithAction(CCDelayTime::actionWithDuration(1)).get(), node.get(), false);
    for (float dt : {0.0f, 1.0f, 1.0f}) manager->update(dt);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
}

}  // namespace
