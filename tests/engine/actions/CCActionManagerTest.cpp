#include "engine/actions/CCActionManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/actions/CCActionInterval.h"
#include "platform/foundation/NamedException.h"

namespace {

using Log = std::vector<std::string>;

// A target that reports its destruction.
struct Mortal : Object {
    explicit Mortal(bool* destroyed) : destroyed_(destroyed) {}
    ~Mortal() override { *destroyed_ = true; }
    bool* destroyed_;
};

// An interval action of 10 s that logs its steps and stops and runs a hook after each step.
struct Scripted : CCActionInterval {
    Scripted(std::string name, Log* log) : name_(std::move(name)), log_(log) { initWithDuration(10); }
    void step(float dt) override {
        log_->push_back(name_ + ".step");
        CCActionInterval::step(dt);
        if (onStep) onStep();
    }
    bool isDone() const override { return finished || CCActionInterval::isDone(); }
    void startWithTarget(Object* target) override {
        CCActionInterval::startWithTarget(realTarget ? realTarget : target);
    }
    void stop() override {
        log_->push_back(name_ + ".stop");
        CCActionInterval::stop();
    }
    std::function<void()> onStep;
    bool finished = false;  // done whatever the time
    Object* realTarget = nullptr;  // started on instead of its target, as a forwarding action is

private:
    std::string name_;
    Log* log_;
};

class CCActionManagerTest : public testing::Test {
protected:
    RefPtr<Scripted> action(const std::string& name) { return makeRef<Scripted>(name, &log); }
    // Adds each action to the target, unpaused.
    void run(Object* target, std::initializer_list<CCAction*> actions) {
        for (CCAction* each : actions) manager->addAction(each, target, false);
    }
    // The steps and stops of one frame.
    Log frame() {
        log.clear();
        manager->update(0.25f);
        return log;
    }
    Log log;
    RefPtr<CCActionManager> manager = makeRef<CCActionManager>();
};

TEST_F(CCActionManagerTest, StepsTargetsInOrderAndRemovesFinishedActionsAfterStoppingThem) {
    RefPtr<Object> first = makeRef<Object>(), second = makeRef<Object>();
    RefPtr<Scripted> a1 = action("a1"), a2 = action("a2"), a3 = action("a3");
    run(second.get(), {a1.get()});
    run(first.get(), {a2.get()});
    run(second.get(), {a3.get()});
    EXPECT_EQ(frame(), (Log{"a1.step", "a3.step", "a2.step"}));  // targets in the order of their first action
    a3->finished = true;
    EXPECT_EQ(frame(), (Log{"a1.step", "a3.step", "a3.stop", "a2.step"}));
    EXPECT_EQ(a3->retainCount(), 1u);
    // Removal does not stop; the last action's removal releases the target.
    manager->removeAction(a1.get());
    EXPECT_EQ(a1->target(), second.get());
    EXPECT_EQ(second->retainCount(), 1u);
    EXPECT_EQ(frame(), Log{"a2.step"});
    EXPECT_THROW(manager->addAction(nullptr, first.get(), false), NamedException);
    EXPECT_THROW(manager->addAction(a1.get(), nullptr, false), NamedException);
}

TEST_F(CCActionManagerTest, ActionsMayRemoveThemselvesOrAllActionsOfTheirTargetDuringTheirStep) {
    // A finished action removing itself from the first slot: alive until its step returns, then
    // neither asked isDone nor stopped; the next action is not skipped.
    RefPtr<Object> node = makeRef<Object>(), later = makeRef<Object>();
    RefPtr<Scripted> next = action("next"), c1 = action("c1");
    auto* self = new Scripted("self", &log);  // the manager is its only owner
    self->finished = true;
    run(node.get(), {self, next.get()});
    run(later.get(), {c1.get()});
    bool aliveAfterRemoval = false;
    self->onStep = [&] {
        manager->removeAction(self);
        aliveAfterRemoval = self->retainCount() == 1;
    };
    EXPECT_EQ(frame(), (Log{"self.step", "next.step", "c1.step"}));
    EXPECT_TRUE(aliveAfterRemoval);
    // Removing all actions of its target and dropping the target's last owner: the walk of that
    // target ends at once, the target lives until then, and its entry goes afterwards.
    bool nodeDestroyed = false, nodeAliveInStep = false;
    RefPtr<Scripted> b1 = action("b1"), b2 = action("b2");
    manager->removeAllActionsFromTarget(node.get());
    node = makeRef<Mortal>(&nodeDestroyed);
    run(node.get(), {b1.get(), b2.get()});
    b1->onStep = [&] {
        manager->removeAllActionsFromTarget(b1->target());
        node.reset();
        nodeAliveInStep = !nodeDestroyed;
    };
    EXPECT_EQ(frame(), (Log{"c1.step", "b1.step"}));
    EXPECT_TRUE(nodeAliveInStep);
    EXPECT_TRUE(nodeDestroyed);
    // Emptied and given a new action in the same step: the entry survives, the new action runs
    // from the next frame.
    RefPtr<Scripted> d1 = action("d1"), replacement = action("replacement");
    run(later.get(), {d1.get()});
    d1->onStep = [&] {
        manager->removeAllActionsFromTarget(later.get());
        run(later.get(), {replacement.get()});
    };
    EXPECT_EQ(frame(), (Log{"c1.step", "d1.step"}));
    EXPECT_EQ(frame(), Log{"replacement.step"});
}

TEST_F(CCActionManagerTest, ActionsAddedDuringTheWalkAreSteppedInTheSamePassWhenTheWalkIsStillAhead) {
    RefPtr<Object> walked = makeRef<Object>(), node = makeRef<Object>(), fresh = makeRef<Object>();
    RefPtr<Scripted> early = action("early"), spawner = action("spawner"), sameTarget = action("sameTarget"),
                     newTarget = action("newTarget"), behind = action("behind");
    run(walked.get(), {early.get()});
    run(node.get(), {spawner.get()});
    bool spawned = false;
    spawner->onStep = [&] {
        if (std::exchange(spawned, true)) return;
        run(node.get(), {sameTarget.get()});
        run(fresh.get(), {newTarget.get()});
        run(walked.get(), {behind.get()});
    };
    EXPECT_EQ(frame(), (Log{"early.step", "spawner.step", "sameTarget.step", "newTarget.step"}));
    EXPECT_EQ(sameTarget->elapsed(), 0);  // its first step: progress 0
    EXPECT_EQ(frame(), (Log{"early.step", "behind.step", "spawner.step", "sameTarget.step", "newTarget.step"}));
}

TEST_F(CCActionManagerTest, RemovingOtherActionsOfTheWalkedTargetSkipsAndRepeatsNothing) {
    RefPtr<Object> node = makeRef<Object>();
    RefPtr<Scripted> a1 = action("a1"), a2 = action("a2"), a3 = action("a3"), a4 = action("a4");
    run(node.get(), {a1.get(), a2.get(), a3.get(), a4.get()});
    a4->setTag(9);
    // Behind the walk: the next one is still stepped once. Ahead of it (by tag): not stepped.
    a2->onStep = [&] {
        manager->removeAction(a1.get());
        manager->removeActionByTag(9, node.get());
    };
    EXPECT_EQ(frame(), (Log{"a1.step", "a2.step", "a3.step"}));
    a2->onStep = nullptr;
    a3->onStep = [&] {  // every action but itself, then itself
        manager->removeAction(a2.get());
        manager->removeAction(a3.get());
    };
    EXPECT_EQ(frame(), (Log{"a2.step", "a3.step"}));
    EXPECT_EQ(node->retainCount(), 1u);  // the entry went with the last action
}

TEST_F(CCActionManagerTest, AFinishedActionGoesFromTheTargetItRunsUnderWhereverItWasStarted) {
    RefPtr<Object> node = makeRef<Object>(), elsewhere = makeRef<Object>();
    RefPtr<Scripted> forwarding = action("forwarding");
    forwarding->realTarget = elsewhere.get();
    forwarding->finished = true;
    run(node.get(), {forwarding.get()});
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(node.get()), 1u);  // counted until a frame removes it
    EXPECT_EQ(frame(), (Log{"forwarding.step", "forwarding.stop"}));
    EXPECT_TRUE(frame().empty());
    EXPECT_EQ(forwarding->retainCount(), 1u);
}

}  // namespace
