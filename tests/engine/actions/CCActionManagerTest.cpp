#include "engine/actions/CCActionManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/actions/CCActionInstant.h"
#include "engine/actions/CCActionInterval.h"
#include "platform/foundation/NamedException.h"

namespace {

using Log = std::vector<std::string>;

// A target that reports its destruction.
struct Node : Object {
    explicit Node(bool* destroyed = nullptr) : destroyed_(destroyed) {}
    ~Node() override {
        if (destroyed_) *destroyed_ = true;
    }
    bool* destroyed_;
};

// An interval action that logs its steps, isDone queries and stops, and runs a hook after each step.
struct Scripted : CCActionInterval {
    Scripted(std::string name, Log* log, bool* destroyed) : name_(std::move(name)), log_(log), destroyed_(destroyed) {}
    ~Scripted() override {
        if (destroyed_) *destroyed_ = true;
    }

    void step(float dt) override {
        log_->push_back(name_ + ".step");
        CCActionInterval::step(dt);
        if (onStep) onStep();
    }
    bool isDone() const override {
        log_->push_back(name_ + ".isDone");
        return CCActionInterval::isDone();
    }
    void stop() override {
        log_->push_back(name_ + ".stop");
        CCActionInterval::stop();
    }

    std::function<void()> onStep;

private:
    std::string name_;
    Log* log_;
    bool* destroyed_;
};

// Steps of a frame without the isDone queries.
Log stepsAndStops(const Log& log) {
    Log kept;
    for (const std::string& line : log) {
        if (line.find(".isDone") == std::string::npos) kept.push_back(line);
    }
    return kept;
}

class CCActionManagerTest : public testing::Test {
protected:
    RefPtr<Scripted> action(const std::string& name, float duration = 10, bool* destroyed = nullptr) {
        RefPtr<Scripted> made = makeRef<Scripted>(name, &log, destroyed);
        made->initWithDuration(duration);
        return made;
    }

    // The steps and stops of one frame of dt seconds.
    Log frame(float dt = 0.25f) {
        log.clear();
        manager->update(dt);
        return stepsAndStops(log);
    }

    Log log;
    RefPtr<CCActionManager> manager = makeRef<CCActionManager>();
};

TEST_F(CCActionManagerTest, StepsTargetsInOrderAndRemovesFinishedActionsAfterStoppingThem) {
    RefPtr<Node> first = makeRef<Node>(), second = makeRef<Node>();
    RefPtr<Scripted> a1 = action("a1"), a2 = action("a2"), a3 = action("a3", 0.5f);
    manager->addAction(a1.get(), second.get(), false);
    manager->addAction(a2.get(), first.get(), false);
    manager->addAction(a3.get(), second.get(), false);
    EXPECT_EQ(a1->target(), second.get());  // started when added
    EXPECT_EQ(second->retainCount(), 2u);
    EXPECT_EQ(a1->retainCount(), 2u);

    // Targets in the order they got their first action; each target's actions in order.
    EXPECT_EQ(frame(), (Log{"a1.step", "a3.step", "a2.step"}));
    EXPECT_EQ(log, (Log{"a1.step", "a1.isDone", "a3.step", "a3.isDone", "a2.step", "a2.isDone"}));
    frame();
    EXPECT_EQ(frame(), (Log{"a1.step", "a3.step", "a3.stop", "a2.step"}));
    EXPECT_EQ(a3->retainCount(), 1u);
    EXPECT_EQ(a3->target(), nullptr);
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(second.get()), 1u);

    // Removal does not stop; the last action's removal releases the target.
    manager->removeAction(a1.get());
    EXPECT_EQ(stepsAndStops(log), (Log{"a1.step", "a3.step", "a3.stop", "a2.step"}));
    EXPECT_EQ(second->retainCount(), 1u);
    EXPECT_EQ(a1->target(), second.get());
    EXPECT_EQ(frame(), Log{"a2.step"});

    EXPECT_THROW(manager->addAction(nullptr, first.get(), false), NamedException);
    EXPECT_THROW(manager->addAction(a1.get(), nullptr, false), NamedException);

    // A manager that goes away releases its targets and actions without stopping them.
    manager.reset();
    EXPECT_EQ(first->retainCount(), 1u);
    EXPECT_EQ(a2->retainCount(), 1u);
    EXPECT_EQ(a2->target(), first.get());
}

TEST_F(CCActionManagerTest, ActionsMayRemoveThemselvesOrAllActionsOfTheirTargetDuringTheirStep) {
    // Removing itself: alive until its step returns, then neither asked isDone nor stopped; the
    // next action is not skipped.
    RefPtr<Node> node = makeRef<Node>();
    bool selfDestroyed = false, aliveAfterRemoval = false;
    RefPtr<Scripted> self = action("self", 10, &selfDestroyed), next = action("next");
    manager->addAction(self.get(), node.get(), false);
    manager->addAction(next.get(), node.get(), false);
    Scripted* raw = self.get();
    self.reset();
    raw->onStep = [&] {
        manager->removeAction(raw);
        aliveAfterRemoval = !selfDestroyed;
    };
    manager->update(0.25f);
    EXPECT_EQ(log, (Log{"self.step", "next.step", "next.isDone"}));
    EXPECT_TRUE(aliveAfterRemoval);
    EXPECT_TRUE(selfDestroyed);
    EXPECT_EQ(frame(), Log{"next.step"});
    manager->removeAllActions();

    // Removing all actions of its target and dropping the target's last owner: the walk of that
    // target ends at once, the target lives until then, and its entry goes afterwards.
    bool nodeDestroyed = false, nodeAliveInStep = false;
    RefPtr<Node> doomed = makeRef<Node>(&nodeDestroyed), later = makeRef<Node>();
    RefPtr<Scripted> b1 = action("b1"), b2 = action("b2"), c1 = action("c1");
    manager->addAction(b1.get(), doomed.get(), false);
    manager->addAction(b2.get(), doomed.get(), false);
    manager->addAction(c1.get(), later.get(), false);
    b1->onStep = [&] {
        manager->removeAllActionsFromTarget(b1->target());
        doomed.reset();
        nodeAliveInStep = !nodeDestroyed;
    };
    log.clear();
    manager->update(0.25f);
    EXPECT_EQ(log, (Log{"b1.step", "c1.step", "c1.isDone"}));
    EXPECT_TRUE(nodeAliveInStep);
    EXPECT_TRUE(nodeDestroyed);
    EXPECT_EQ(b1->retainCount(), 1u);
    EXPECT_EQ(b2->retainCount(), 1u);

    // Emptied and given a new action in the same step: the entry survives, the new action runs
    // from the next frame.
    RefPtr<Scripted> d1 = action("d1"), d2 = action("d2"), replacement = action("replacement");
    manager->addAction(d1.get(), node.get(), false);
    manager->addAction(d2.get(), node.get(), false);
    d1->onStep = [&] {
        manager->removeAllActionsFromTarget(node.get());
        manager->addAction(replacement.get(), node.get(), false);
    };
    EXPECT_EQ(frame(), (Log{"c1.step", "d1.step"}));
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(node.get()), 1u);
    EXPECT_EQ(frame(), (Log{"c1.step", "replacement.step"}));
}

TEST_F(CCActionManagerTest, ActionsAddedDuringTheWalkAreSteppedInTheSamePassWhenTheWalkIsStillAhead) {
    RefPtr<Node> walked = makeRef<Node>(), node = makeRef<Node>(), fresh = makeRef<Node>();
    RefPtr<Scripted> early = action("early"), spawner = action("spawner"), sameTarget = action("sameTarget"),
                     newTarget = action("newTarget"), behind = action("behind");
    manager->addAction(early.get(), walked.get(), false);
    manager->addAction(spawner.get(), node.get(), false);
    bool spawned = false;
    spawner->onStep = [&] {
        if (spawned) return;
        spawned = true;
        manager->addAction(sameTarget.get(), node.get(), false);
        manager->addAction(newTarget.get(), fresh.get(), false);
        manager->addAction(behind.get(), walked.get(), false);
    };
    EXPECT_EQ(frame(), (Log{"early.step", "spawner.step", "sameTarget.step", "newTarget.step"}));
    EXPECT_EQ(sameTarget->elapsed(), 0);  // its first step: progress 0
    EXPECT_EQ(frame(), (Log{"early.step", "behind.step", "spawner.step", "sameTarget.step", "newTarget.step"}));
}

TEST_F(CCActionManagerTest, RemovingOtherActionsOfTheWalkedTargetSkipsAndRepeatsNothing) {
    RefPtr<Node> node = makeRef<Node>();
    RefPtr<Scripted> a1 = action("a1"), a2 = action("a2"), a3 = action("a3"), a4 = action("a4");
    for (Scripted* each : {a1.get(), a2.get(), a3.get(), a4.get()}) manager->addAction(each, node.get(), false);

    // The second removes the first: the third is still stepped once.
    a2->onStep = [&] { manager->removeAction(a1.get()); };
    EXPECT_EQ(frame(), (Log{"a1.step", "a2.step", "a3.step", "a4.step"}));
    a2->onStep = nullptr;
    EXPECT_EQ(frame(), (Log{"a2.step", "a3.step", "a4.step"}));

    // An action removes one ahead of it by tag: that one is not stepped.
    a4->setTag(9);
    a2->onStep = [&] { manager->removeActionByTag(9, node.get()); };
    EXPECT_EQ(frame(), (Log{"a2.step", "a3.step"}));
    a2->onStep = nullptr;

    // Removing every action but itself, then itself.
    a3->onStep = [&] {
        manager->removeAction(a2.get());
        manager->removeAction(a3.get());
    };
    EXPECT_EQ(frame(), (Log{"a2.step", "a3.step"}));
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(node.get()), 0u);
    EXPECT_EQ(node->retainCount(), 1u);
}

TEST_F(CCActionManagerTest, PausingBelongsToTheTargetsRunningActions) {
    RefPtr<Node> node = makeRef<Node>(), idle = makeRef<Node>(), other = makeRef<Node>();
    RefPtr<Scripted> a = action("a"), b = action("b"), c = action("c"), d = action("d");

    // Nothing is remembered for a target without actions.
    manager->pauseTarget(idle.get());
    manager->addAction(a.get(), idle.get(), false);
    // The entry's flag wins over the one given with a later action.
    manager->addAction(b.get(), idle.get(), true);
    EXPECT_EQ(frame(), (Log{"a.step", "b.step"}));

    // A new target's flag comes from its first action.
    manager->addAction(c.get(), node.get(), true);
    EXPECT_EQ(frame(), (Log{"a.step", "b.step"}));
    manager->resumeTarget(node.get());
    EXPECT_EQ(frame(), (Log{"a.step", "b.step", "c.step"}));

    // Pausing everything answers only the targets it paused; resuming those leaves the others.
    manager->addAction(d.get(), other.get(), false);
    manager->pauseTarget(node.get());
    const std::vector<RefPtr<Object>> paused = manager->pauseAllRunningActions();
    EXPECT_EQ(paused, (std::vector<RefPtr<Object>>{idle, other}));
    EXPECT_TRUE(frame().empty());
    manager->resumeTargets(paused);
    EXPECT_EQ(frame(), (Log{"a.step", "b.step", "d.step"}));

    // The flag goes with the entry when the last action has gone; the new entry comes last.
    manager->removeAllActionsFromTarget(node.get());
    manager->addAction(c.get(), node.get(), false);
    EXPECT_EQ(frame(), (Log{"a.step", "b.step", "d.step", "c.step"}));
}

// An action started on one object that changes another, as a forwarding action does: its
// originalTarget is not the target it runs under.
struct Forwarding : CCActionInstant {
    explicit Forwarding(Object* realTarget) : realTarget_(realTarget) {}
    void startWithTarget(Object*) override { CCActionInstant::startWithTarget(realTarget_); }
    void stop() override {
        ++stops;
        CCActionInstant::stop();
    }
    Object* realTarget_;
    int stops = 0;
};

TEST_F(CCActionManagerTest, QueriesRemovalsAndCountsFollowTheActionsOfEachTarget) {
    RefPtr<Node> node = makeRef<Node>(), elsewhere = makeRef<Node>();
    RefPtr<Scripted> tagged = action("tagged"), sameTag = action("sameTag"), untagged = action("untagged");
    tagged->setTag(4);
    sameTag->setTag(4);
    manager->addAction(untagged.get(), node.get(), false);
    manager->addAction(tagged.get(), node.get(), false);
    manager->addAction(sameTag.get(), node.get(), false);

    EXPECT_EQ(manager->getActionByTag(4, node.get()), tagged.get());
    EXPECT_EQ(manager->getActionByTag(5, node.get()), nullptr);
    EXPECT_EQ(manager->getActionByTag(4, elsewhere.get()), nullptr);
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(elsewhere.get()), 0u);
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(nullptr), 0u);

    // Only the first match goes.
    manager->removeActionByTag(4, node.get());
    EXPECT_EQ(manager->getActionByTag(4, node.get()), sameTag.get());
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(node.get()), 2u);

    // Unknown actions, targets and tags change nothing.
    manager->removeAction(nullptr);
    manager->removeAction(tagged.get());
    manager->removeActionByTag(4, elsewhere.get());
    manager->removeActionByTag(99, node.get());
    manager->removeAllActionsFromTarget(nullptr);
    manager->removeAllActionsFromTarget(elsewhere.get());
    manager->pauseTarget(nullptr);
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(node.get()), 2u);

    // A done action counts until a frame removes it.
    RefPtr<CCActionInstant> instant = makeRef<CCActionInstant>();
    instant->init();
    manager->addAction(instant.get(), node.get(), false);
    EXPECT_TRUE(instant->isDone());
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(node.get()), 3u);
    frame();
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(node.get()), 2u);

    // A finished action is removed from the target it runs under, even when its originalTarget is
    // another object, so that it is stopped once.
    RefPtr<Forwarding> forwarding = makeRef<Forwarding>(elsewhere.get());
    forwarding->init();
    manager->addAction(forwarding.get(), node.get(), false);
    EXPECT_EQ(forwarding->originalTarget(), elsewhere.get());
    frame();
    frame();
    EXPECT_EQ(forwarding->stops, 1);
    EXPECT_EQ(forwarding->retainCount(), 1u);

    manager->removeAllActions();
    EXPECT_EQ(node->retainCount(), 1u);
    EXPECT_EQ(untagged->retainCount(), 1u);
    EXPECT_TRUE(frame().empty());
}

}  // namespace
