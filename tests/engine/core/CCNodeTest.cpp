#include "engine/core/CCNode.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "engine/actions/CCAction.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using Log = std::vector<std::string>;
using Counts = std::array<int, 5>;  // enters, entersFinished, exitsStarted, exits, cleanups

// A node that logs its drawing and counts its updates, timer firings and lifecycle calls.
class RecordingNode : public CCNode {
public:
    RecordingNode(std::string name, Log* log) : name_(std::move(name)), log_(log) {}
    void draw() override { log_->push_back(name_); }
    void update(float) override { ++updates; }
    void tick(float) { ++ticks; }
    void onEnter() override {
        ++counts[0];
        CCNode::onEnter();
        if (leaveOnEnter) removeFromParentAndCleanup(true);
    }
    void onEnterTransitionDidFinish() override { ++counts[1]; CCNode::onEnterTransitionDidFinish(); }
    void onExitTransitionDidStart() override { ++counts[2]; CCNode::onExitTransitionDidStart(); }
    void onExit() override { ++counts[3]; CCNode::onExit(); }
    void cleanup() override { ++counts[4]; CCNode::cleanup(); }
    Counts counts{};
    int updates = 0, ticks = 0;
    bool leaveOnEnter = false;

private:
    std::string name_;
    Log* log_;
};

// An action that never ends and counts its steps.
struct CountingAction : CCAction {
    bool isDone() const override { return false; }
    void step(float) override { ++steps; }
    int steps = 0;
};

class CCNodeTest : public HeadlessDirectorTest {
protected:
    static void tick() { CCDirector::sharedDirector()->scheduler()->update(0.1f); }
    RefPtr<RecordingNode> make(const std::string& name) { return makeRef<RecordingNode>(name, &log_); }
    Log log_;
};

TEST_F(CCNodeTest, DrawsChildrenByZOrderThenArrivalAndSortsWithoutAllocating) {
    auto parent = make("parent"), a = make("a"), b = make("b"), c = make("c"), d = make("d");
    parent->addChild(a.get(), 1);
    parent->addChild(b.get(), -1);
    parent->addChild(c.get(), 0);
    parent->addChild(d.get(), 1);
    parent->visit();
    EXPECT_EQ(log_, (Log{"b", "parent", "c", "a", "d"}));
    // Drawn siblings with equal z orders keep their order; a reordered one goes after its equals.
    // Invisible subtrees are not drawn.
    c->setZOrder(1);
    AllocationCounter counter;
    parent->sortAllChildren();
    EXPECT_EQ(counter.count(), 0u);
    b->setVisible(false);
    log_.clear();
    parent->visit();
    EXPECT_EQ(log_, (Log{"parent", "a", "d", "c"}));
}

TEST_F(CCNodeTest, LifecycleAndSchedulingFollowTheChildOnAndOffStage) {
    auto stage = make("stage"), node = make("node"), grandchild = make("grandchild");
    stage->onEnter();
    node->addChild(grandchild.get());
    node->scheduleUpdate();
    node->schedule(ccSelector(&RecordingNode::tick));
    auto action = makeRef<CountingAction>();
    node->runAction(action.get());
    tick();  // off stage: registered paused
    stage->addChild(node.get(), 0, 3);
    tick();
    tick();
    EXPECT_EQ(grandchild->counts, (Counts{1, 1, 0, 0, 0}));
    EXPECT_EQ((std::array{node->updates, node->ticks, action->steps}), (std::array{2, 1, 2}));
    // Removed without cleanup: paused, not gone. With cleanup: gone for good, even back on stage.
    stage->removeChild(node.get(), false);
    tick();
    stage->addChild(node.get());
    tick();
    stage->removeChildByTag(3, true);
    stage->addChild(node.get());
    tick();
    EXPECT_EQ(grandchild->counts, (Counts{3, 3, 2, 2, 1}));
    EXPECT_EQ((std::array{node->updates, action->steps}), (std::array{3, 3}));
    stage->addChild(make("owned").get());  // the stage is its only owner
    stage->removeAllChildrenWithCleanup(false);
    EXPECT_EQ(node->counts, (Counts{3, 3, 3, 3, 1}));
    EXPECT_EQ(stage->children()->count(), 0u);
    stage->onExit();
}

TEST_F(CCNodeTest, ChildrenMayLeaveDuringTheWalksOverThem) {
    // Children that leave their parent while entering, from the first slot and from the last.
    auto parent = make("parent"), stay = make("stay");
    for (int slot = 0; slot < 3; ++slot) {
        auto child = slot == 1 ? stay : make("leaver");  // the parent is a leaver's only owner
        child->leaveOnEnter = slot != 1;
        parent->addChild(child.get());
    }
    parent->onEnter();
    EXPECT_EQ(parent->children()->count(), 1u);
    EXPECT_EQ(stay->counts[0], 1);
    parent->onExit();
    // A parent that goes first leaves its children without a dangling parent.
    auto orphan = make("orphan");
    make("doomed")->addChild(orphan.get());
    EXPECT_EQ(orphan->parent(), nullptr);
}

}  // namespace

TEST_F(CCNodeTest, AddingANullChildOrOneThatHasAParentIsAProgrammingError) {
    auto first = make("first"), second = make("second"), child = make("child");
    first->addChild(child.get(), 3, 7);
    const std::function<void(CCNode*)> adds[] = {
        [&](CCNode* node) { second->addChild(node, 1, 2); },
        [&](CCNode* node) { second->addChild(node, 1); },
        [&](CCNode* node) { second->addChild(node); },
    };
    const std::pair<CCNode*, std::string> cases[] = {{nullptr, "NSInvalidArgumentException"},
                                                     {child.get(), "NSInternalInconsistencyException"}};
    for (const auto& add : adds) {
        for (const auto& [node, name] : cases) {
            try {
                add(node);
                ADD_FAILURE() << "no exception: " << name;
            } catch (const NamedException& error) {
                EXPECT_EQ(error.name(), name);
            }
        }
    }
    // Nothing moved: the child is still first's only child, with its z order and tag.
    EXPECT_TRUE(child->parent() == first.get() && first->children()->count() == 1 && child->zOrder() == 3 &&
                child->tag() == 7);
    EXPECT_EQ(second->children(), nullptr);
}
