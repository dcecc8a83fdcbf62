#include "engine/core/CCNode.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/actions/CCAction.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCScheduler.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/Log.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using Log = std::vector<std::string>;

// A node that writes what happens to it into a shared log and counts its lifecycle calls.
class RecordingNode : public CCNode {
public:
    RecordingNode(std::string name, Log* log) : name_(std::move(name)), log_(log) {}

    void draw() override { log_->push_back(name_); }
    void update(float) override { ++updates; }
    void tick(float) { ++ticks; }
    void onEnter() override {
        ++enters;
        CCNode::onEnter();
    }
    void onEnterTransitionDidFinish() override {
        ++entersFinished;
        CCNode::onEnterTransitionDidFinish();
    }
    void onExitTransitionDidStart() override {
        ++exitsStarted;
        CCNode::onExitTransitionDidStart();
    }
    void onExit() override {
        ++exits;
        CCNode::onExit();
    }
    void cleanup() override {
        ++cleanups;
        CCNode::cleanup();
    }

    int enters = 0, entersFinished = 0, exitsStarted = 0, exits = 0, cleanups = 0;
    int updates = 0, ticks = 0;

private:
    std::string name_;
    Log* log_;
};

// {enters, entersFinished, exitsStarted, exits, cleanups}
using Counts = std::array<int, 5>;
Counts counts(const RecordingNode& n) { return {n.enters, n.entersFinished, n.exitsStarted, n.exits, n.cleanups}; }

// An action that never ends and counts its steps.
class CountingAction : public CCAction {
public:
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

TEST_F(CCNodeTest, DrawsChildrenByZOrderThenArrival) {
    auto parent = make("parent");
    auto a = make("a"), b = make("b"), c = make("c"), d = make("d");
    parent->addChild(a.get(), 1);
    parent->addChild(b.get(), -1);
    parent->addChild(c.get(), 0);
    parent->addChild(d.get(), 1);
    parent->visit();
    EXPECT_EQ(log_, (Log{"b", "parent", "c", "a", "d"}));
    // The array itself is sorted, so tag lookup finds the lower z order first.
    EXPECT_EQ(parent->children()->objectAtIndex(0), b.get());

    // Drawn siblings keep their order; a reordered one goes after its equals.
    log_.clear();
    a->setZOrder(1);
    parent->visit();
    EXPECT_EQ(log_, (Log{"b", "parent", "c", "d", "a"}));

    log_.clear();
    c->setZOrder(-2);
    parent->visit();
    EXPECT_EQ(log_, (Log{"c", "b", "parent", "d", "a"}));

    // Two children with one tag: the first in children order.
    b->setTag(5);
    d->setTag(5);
    EXPECT_EQ(parent->getChildByTag(5), b.get());
    EXPECT_EQ(parent->getChildByTag(99), nullptr);
    EXPECT_EQ(make("leaf")->getChildByTag(5), nullptr);
}

TEST_F(CCNodeTest, VisitKeepsTheMatrixStackBalancedAndSkipsInvisibleSubtrees) {
    LogCapture capture;
    auto parent = make("parent");
    auto hidden = make("hidden");
    auto grandchild = make("grandchild");
    hidden->addChild(grandchild.get());
    parent->addChild(hidden.get());
    hidden->setVisible(false);
    hidden->scheduleUpdate();
    parent->onEnter();

    parent->setPosition({10, 20});
    parent->visit();
    EXPECT_EQ(log_, Log{"parent"});
    // The invisible node is not drawn, but its update still runs.
    tick();
    EXPECT_EQ(hidden->updates, 1);

    kmMat4 top;
    kmGLGetMatrix(KM_GL_MODELVIEW, &top);
    EXPECT_TRUE(kmMat4IsIdentity(&top));
    kmGLPop();  // the bottom matrix: refused, which shows the visit popped what it pushed
    EXPECT_TRUE(capture.contains("refusing to pop"));
    parent->onExit();
    parent->cleanup();
}

TEST_F(CCNodeTest, LifecycleOfChildrenAddedToAndRemovedFromARunningParent) {
    auto parent = make("parent");
    parent->onEnter();
    parent->onEnterTransitionDidFinish();
    ASSERT_TRUE(parent->isRunning());

    auto child = make("child");
    auto grandchild = make("grandchild");
    child->addChild(grandchild.get());
    parent->addChild(child.get(), 0, 3);
    EXPECT_EQ(counts(*child), (Counts{1, 1, 0, 0, 0}));
    EXPECT_EQ(counts(*grandchild), (Counts{1, 1, 0, 0, 0}));
    EXPECT_TRUE(grandchild->isRunning());
    EXPECT_EQ(child->parent(), parent.get());

    parent->removeChild(child.get(), false);
    EXPECT_EQ(counts(*child), (Counts{1, 1, 1, 1, 0}));
    EXPECT_FALSE(grandchild->isRunning());
    EXPECT_EQ(child->parent(), nullptr);
    EXPECT_EQ(parent->children()->count(), 0u);

    parent->addChild(child.get());
    parent->removeChildByTag(3, true);
    EXPECT_EQ(counts(*child), (Counts{2, 2, 2, 2, 1}));
    EXPECT_EQ(grandchild->cleanups, 1);

    // Removing nil, a stranger or an unknown tag does nothing.
    parent->removeChild(nullptr, true);
    parent->removeChild(make("stranger").get(), true);
    parent->removeChildByTag(42, true);

    // A child that is not kept elsewhere goes with its removal.
    {
        auto owned = make("owned");
        parent->addChild(owned.get());
    }
    ASSERT_EQ(parent->children()->count(), 1u);
    static_cast<CCNode*>(parent->children()->objectAtIndex(0))->removeFromParentAndCleanup(true);
    EXPECT_EQ(parent->children()->count(), 0u);

    auto first = make("first"), second = make("second");
    parent->addChild(first.get());
    parent->addChild(second.get());
    parent->removeAllChildrenWithCleanup(false);
    EXPECT_EQ(counts(*first), (Counts{1, 1, 1, 1, 0}));
    EXPECT_EQ(second->exits, 1);
    EXPECT_EQ(first->parent(), nullptr);
    EXPECT_EQ(parent->children()->count(), 0u);

    parent->onExit();
    EXPECT_FALSE(parent->isRunning());
}

TEST_F(CCNodeTest, SchedulesAndActionsStartPausedOffStageAndFollowTheNode) {
    auto stage = make("stage");
    stage->onEnter();

    auto node = make("node");
    node->scheduleUpdate();
    node->schedule(ccSelector(&RecordingNode::tick));
    auto action = makeRef<CountingAction>();
    EXPECT_EQ(node->runAction(action.get()), action.get());
    EXPECT_EQ(node->numberOfRunningActions(), 1u);
    tick();
    tick();
    EXPECT_EQ(node->updates, 0);
    EXPECT_EQ(node->ticks, 0);
    EXPECT_EQ(action->steps, 0);

    stage->addChild(node.get());
    tick();
    tick();
    EXPECT_EQ(node->updates, 2);
    EXPECT_GE(node->ticks, 1);
    EXPECT_EQ(action->steps, 2);

    // Removed without cleanup: paused, not gone; back on stage they run again.
    stage->removeChild(node.get(), false);
    const int ticks = node->ticks;
    tick();
    EXPECT_EQ(node->updates, 2);
    EXPECT_EQ(node->ticks, ticks);
    EXPECT_EQ(action->steps, 2);
    EXPECT_EQ(node->numberOfRunningActions(), 1u);
    stage->addChild(node.get());
    tick();
    EXPECT_EQ(node->updates, 3);
    EXPECT_EQ(action->steps, 3);

    // Removed with cleanup: gone for good, even back on stage.
    stage->removeChild(node.get(), true);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
    stage->addChild(node.get());
    tick();
    EXPECT_EQ(node->updates, 3);
    EXPECT_EQ(action->steps, 3);

    node->unschedule(nullptr);
    stage->onExit();
    stage->cleanup();
}

TEST_F(CCNodeTest, CallbacksThatChangeTheTreeDuringItsWalksAreSafe) {
    // A child that removes itself from its parent while entering the stage.
    class Leaver : public CCNode {
    public:
        void onEnter() override {
            CCNode::onEnter();
            removeFromParentAndCleanup(true);
        }
    };
    auto parent = make("parent");
    auto stay = make("stay");
    parent->addChild(makeRef<Leaver>().get());
    parent->addChild(stay.get());
    parent->onEnter();
    EXPECT_EQ(parent->children()->count(), 1u);
    EXPECT_EQ(stay->enters, 1);
    parent->onExit();

    // A parent that goes first leaves its children without a dangling parent.
    auto child = make("child");
    {
        auto doomed = make("doomed");
        doomed->addChild(child.get());
    }
    EXPECT_EQ(child->parent(), nullptr);
}

TEST_F(CCNodeTest, GridAndCameraWrapTheDrawing) {
    class Grid : public CCNodeGrid {
    public:
        explicit Grid(Log* log) : log_(log) {}
        bool active() const override { return isActive; }
        void beforeDraw() override { log_->push_back("before"); }
        void afterDraw(CCNode* target) override {
            log_->push_back("after");
            this->target = target;
        }
        bool isActive = true;
        CCNode* target = nullptr;

    private:
        Log* log_;
    };
    // Keeps the model-view matrix its draw sees.
    class MatrixNode : public CCNode {
    public:
        void draw() override { kmGLGetMatrix(KM_GL_MODELVIEW, &atDraw); }
        kmMat4 atDraw;
    };

    auto node = make("node");
    auto grid = makeRef<Grid>(&log_);
    node->setGrid(grid);
    node->visit();
    EXPECT_EQ(log_, (Log{"before", "node", "after"}));
    EXPECT_EQ(grid->target, node.get());

    // An eye one unit in front of the centre moves the drawing one unit back, about the anchor
    // point; while a grid is active the grid places the camera instead.
    kmGLFreeStacks();
    auto viewed = makeRef<MatrixNode>();
    viewed->setContentSize({20, 10});
    viewed->setAnchorPoint({0.5, 0.5});
    viewed->setPosition({100, 50});
    viewed->camera()->setEyeX(0, 0, 1);
    viewed->visit();
    EXPECT_FLOAT_EQ(viewed->atDraw.mat[12], 90);
    EXPECT_FLOAT_EQ(viewed->atDraw.mat[13], 45);
    EXPECT_FLOAT_EQ(viewed->atDraw.mat[14], -1);
    auto viewedGrid = makeRef<Grid>(&log_);
    viewed->setGrid(viewedGrid);
    viewed->visit();
    EXPECT_FLOAT_EQ(viewed->atDraw.mat[14], 0);
    viewed->setGrid(nullptr);
}

TEST_F(CCNodeTest, SceneCoversTheLogicalWindow) {
    static_cast<CCDirectorMac*>(CCDirector::sharedDirector())->setOriginalWinSize({1024, 768});
    auto scene = CCScene::node();
    EXPECT_EQ(scene->anchorPointInPoints(), CGPointMake(512, 384));
    EXPECT_EQ(scene->boundingBox(), CGRectMake(0, 0, 1024, 768));
}

}  // namespace
