// The parallax node places its children by their ratios as its absolute position changes, and
// forgets removed children.

#include "engine/render/CCParallaxNode.h"

#include <gtest/gtest.h>

#include "support/HeadlessDirectorTest.h"

namespace {

class CCParallaxNodeTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        root_->addChild(parallax_.get());
    }

    RefPtr<CCNode> root_ = CCNode::node(), child_ = CCNode::node();
    RefPtr<CCParallaxNode> parallax_ = CCParallaxNode::node();
};

#define EXPECT_AT(node, wantX, wantY) \
    EXPECT_TRUE((node)->position() == CGPointMake(wantX, wantY)) << (node)->position().x << ", " << (node)->position().y

TEST_F(CCParallaxNodeTest, ChildrenFollowTheirShareOfTheAbsoluteMovement) {
    parallax_->addChild(child_.get());  // only a ratio and an offset add a child
    EXPECT_EQ(parallax_->children(), nullptr);
    parallax_->setPosition({100, 50});
    parallax_->addChild(child_.get(), 1, {0.5, 0}, {10, 20});
    EXPECT_AT(child_, 60, 20);
    parallax_->visit();
    EXPECT_AT(child_, -40, -30);  // (60, 20) in the parent's space
    root_->setPosition({100, 0});
    parallax_->visit();
    EXPECT_AT(child_, -90, -30);  // +100 above: -50 here, +50 on screen
}

// Removed children lose their entries: a later placement never touches a freed child (the
// sanitizer would report it).
TEST_F(CCParallaxNodeTest, RemovedChildrenAreNotPlacedAgain) {
    RefPtr<CCNode> gone = CCNode::node();
    parallax_->addChild(gone.get(), 0, {1, 1}, {0, 0});
    parallax_->addChild(child_.get(), 0, {0, 0}, {5, 5});
    parallax_->removeChild(gone.get(), true);
    gone.reset();
    parallax_->setPosition({3, 0});
    parallax_->visit();
    EXPECT_AT(child_, 2, 5);
    parallax_->removeAllChildrenWithCleanup(true);
    child_.reset();
    parallax_->setPosition({7, 0});
    parallax_->visit();
    EXPECT_EQ(parallax_->parallaxArray()->num, 0u);
}

}  // namespace
