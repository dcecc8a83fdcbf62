// Frame animation on real sprites: when frames show, loops, notifications, restoring, inputs that
// must show nothing, the flip actions, and a steady animation that allocates nothing.

#include "engine/actions/interval/CCAnimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/actions/composite/CCRepeat.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/instant/CCFlipX.h"
#include "engine/actions/instant/CCFlipY.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCSprite.h"
#include "engine/render/SpriteGLTest.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Value.h"
#include "support/AllocationCounter.h"

namespace {

class CCAnimateGLTest : public SpriteGLTest {
protected:
    void SetUp() override {
        SpriteGLTest::SetUp();
        for (CGPoint origin : {CGPointMake(0, 0), CGPointMake(32, 0), CGPointMake(0, 32), CGPointMake(32, 32)}) {
            cells_.push_back(CCSpriteFrame::frameWithTexture(texture_, CGRect{origin, CGSizeMake(32, 32)}));
        }
        sprite_ = CCSprite::spriteWithTexture(texture_);
        NotificationCenter::defaultCenter().addObserver(
            this, CCAnimationFrameDisplayedNotification, nullptr,
            [this](const Notification& n) { notes_ += n.object == sprite_.get() && n.userInfo; });
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(this);
        sprite_.reset();
        SpriteGLTest::TearDown();
    }

    // Cells 0.. (red, green, blue, yellow) lasting these delay units of 1/8 s each.
    RefPtr<CCAnimation> animationOf(const std::vector<float>& units, uint64_t loops = 1, bool restore = false) {
        std::vector<RefPtr<CCAnimationFrame>> frames;
        for (size_t i = 0; i < units.size(); ++i) {
            frames.push_back(CCAnimationFrame::frameWithSpriteFrame(cells_[i], units[i], nullptr));
        }
        RefPtr<CCAnimation> animation = CCAnimation::animationWithAnimationFrames(std::move(frames), 0.125f, loops);
        animation->setRestoreOriginalFrame(restore);
        return animation;
    }
    // `animation` with a notification posted when each of these frames shows.
    static RefPtr<CCAnimation> noted(RefPtr<CCAnimation> animation, std::initializer_list<size_t> frames) {
        for (size_t i : frames) animation->frames()[i]->setUserInfo(std::make_shared<const Value>(Value::dictionary()));
        return animation;
    }
    RefPtr<CCAnimate> animate(RefPtr<CCAnimation> animation) { return CCAnimate::actionWithAnimation(animation); }
    // `action` playing `animation` in place of the one it was made with.
    static RefPtr<CCAnimate> replaced(RefPtr<CCAnimate> action, RefPtr<CCAnimation> animation) {
        action->setAnimation(std::move(animation));
        return action;
    }

    // The cell the sprite shows, or -1 for anything else (the whole picture it starts with).
    int shown() const {
        const auto cell = std::ranges::find_if(cells_, [&](auto& c) { return sprite_->isFrameDisplayed(c.get()); });
        return cell == cells_.end() ? -1 : static_cast<int>(cell - cells_.begin());
    }

    // Starts the action on the sprite, then steps it by each dt, noting the cell shown after each.
    std::vector<int> play(CCAction* action, const std::vector<float>& steps) {
        std::vector<int> cells;
        action->startWithTarget(sprite_.get());
        for (float dt : steps) {
            action->step(dt);
            cells.push_back(shown());
        }
        return cells;
    }

    std::vector<RefPtr<CCSpriteFrame>> cells_;
    RefPtr<CCSprite> sprite_;
    int notes_ = 0;  // frame notifications from sprite_ with user info
};

TEST_F(CCAnimateGLTest, ShowsAtMostOneFramePerStepAndNotifiesEachFrameShown) {
    RefPtr<CCAnimation> noTime = animationOf({1, 1});
    noTime->setDelayPerUnit(0);
    const RefPtr<CCAnimation> twoLoops = noted(animationOf({1, 1, 1}, 2), {0, 2});
    const std::vector<float> twoSteps{0, 1};
    LogCapture rowLog;
    const struct {
        const char* name;
        RefPtr<CCAction> action;
        std::vector<float> steps;
        std::vector<int> cells;
        int afterStop, notes;
    } rows[] = {
        // Units 1, 1, 2, 1 start at 0, 0.2, 0.4 and 0.8 of the 0.625 s loop.
        {"step by step", animate(animationOf({1, 1, 2, 1}))->copy(), {0, .125f, .125f, .125f, .125f, .125f},
         {0, 1, 2, 2, 3, 3}, 3, 0},
        {"a long step catches up", animate(animationOf({1, 1, 2, 1})), {0, .55f, 0, 0, .1f}, {0, 1, 2, 3, 3}, 3, 0},
        {"reversed, restoring", animate(animationOf({1, 1, 2}, 1, true))->reverse(), {0, .25f, .25f}, {2, 1, 0}, -1, 0},
        // Two loops of 0.375 s, each step inside a frame's share; frames 0 and 2 post notifications.
        {"two loops", animate(twoLoops), {0, .1875f, .125f, .125f, .125f, .125f, .0625f}, {0, 1, 2, 0, 1, 2, 2}, 2, 4},
        {"no animation", animate(nullptr), twoSteps, {-1, -1}, -1, 0},
        {"no frames", animate(CCAnimation::animation()), twoSteps, {-1, -1}, -1, 0},
        {"zero loops", animate(animationOf({1, 1}, 0)), twoSteps, {-1, -1}, -1, 0},
        {"zero delay units", animate(animationOf({0, 0})), twoSteps, {0, 1}, 1, 0},
        {"zero delay per unit", animate(noTime), twoSteps, {0, 1}, 1, 0},
        // Made for two frames (0.25 s), then given four starting at 0, 0.2, 0.4 and 0.8 of it.
        {"another animation", replaced(animate(animationOf({1, 1})), animationOf({1, 1, 2, 1})),
         {0, .0625f, .0625f, .0625f, .0625f}, {0, 1, 2, 2, 3}, 3, 0},
        {"another animation, null", replaced(animate(animationOf({1, 1})), nullptr), twoSteps, {-1, -1}, -1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sprite_ = CCSprite::spriteWithTexture(texture_);
        notes_ = 0;
        EXPECT_EQ(play(row.action.get(), row.steps), row.cells);
        EXPECT_TRUE(row.action->isDone());
        row.action->stop();
        EXPECT_EQ(shown(), row.afterStop);
        EXPECT_EQ(notes_, row.notes);
    }
    EXPECT_EQ(rowLog.lines().size(), 2u);  // the missing animations
    // A target that is not a sprite is logged once, however often the action restarts on it.
    LogCapture log;
    const RefPtr<CCAction> twice = CCRepeat::actionWithAction(animate(animationOf({1})), 2);
    const RefPtr<CCNode> node = CCNode::node();
    twice->startWithTarget(node.get());
    for (int step = 0; step < 4; ++step) twice->step(0.125f);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(CCAnimateGLTest, AnotherAnimationGivenMidRunGoesOnFromTheFrameReached) {
    // Four frames of 0.125 s; the first one of each animation posts a notification, and the last
    // one of the second.
    const RefPtr<CCAnimate> action = animate(noted(animationOf({1, 1, 1, 1}), {0}));
    EXPECT_EQ(play(action.get(), {0, .125f, .125f}), (std::vector{0, 1, 2}));
    action->setAnimation(noted(animationOf({1, 1, 1, 1}), {0, 3}));
    std::vector<int> cells;
    for (float dt : {.0625f, .0625f, .0625f}) {
        action->step(dt);
        cells.push_back(shown());
    }
    EXPECT_EQ(cells, (std::vector{2, 3, 3}));
    EXPECT_EQ(notes_, 2);
}

TEST_F(CCAnimateGLTest, NamedAnimationFramesShowByIndexAndBadOnesChangeNothing) {
    CCAnimationCache::sharedAnimationCache()->addAnimation(animationOf({1, 1, 1}), "walk");
    LogCapture log;
    for (auto [name, index] : {std::pair{"walk", 2}, {"run", 0}, {"walk", -1}, {"walk", 3}}) {
        sprite_->setDisplayFrameWithAnimationName(name, index);
    }
    EXPECT_EQ(shown(), 2);
    EXPECT_EQ(log.lines().size(), 3u);
}

TEST_F(CCAnimateGLTest, FlipActionsSetTheFlagAndReverseToItsOpposite) {
    // Played one after the other on the same sprite, each changing one flag.
    const struct {
        RefPtr<CCAction> action;
        bool flipX, flipY;
    } rows[] = {
        {CCFlipX::actionWithFlipX(true), true, false},
        {CCFlipY::actionWithFlipY(true)->copy(), true, true},
        {CCFlipX::actionWithFlipX(true)->reverse(), false, true},
        {CCFlipY::actionWithFlipY(true)->reverse(), false, false},
    };
    for (const auto& row : rows) {
        play(row.action.get(), {0});
        EXPECT_EQ(sprite_->flipX(), row.flipX);
        EXPECT_EQ(sprite_->flipY(), row.flipY);
    }
}

TEST_F(CCAnimateGLTest, RunningAnimationAllocatesNothingPerStep) {
    const RefPtr<CCAction> forever = CCRepeatForever::actionWithAction(
        CCAnimate::actionWithAnimation(animationOf({1, 2, 1, 1})));
    play(forever.get(), std::vector<float>(8, 0.1f));
    AllocationCounter allocations;
    for (int step = 0; step < 200; ++step) forever->step(0.03f);
    EXPECT_EQ(allocations.count(), 0u);
}

TEST_F(CCAnimateGLTest, DirectorDrawsTheAnimationAndThenTheRestoredFrame) {
    sprite_->setDisplayFrame(cells_[2].get());
    sprite_->setPosition({160, 120});
    scene_->addChild(sprite_.get());
    sprite_->runAction(animate(animationOf({1, 1}, 1, true)).get());
    // Frames of 1/64 s: red for the first 8, green for the next 8, then blue again.
    for (auto [frames, colour] : {std::pair{2, kRed}, {10, kGreen}, {10, kBlue}}) {
        runFrames(frames);
        EXPECT_TRUE(pixelNear(160, 120, colour));
    }
}

}  // namespace
