// Transitions drawn in a real window: the ones with overlays, off-screen pictures and grid effects
// end on the new scene with nothing of theirs left on screen, also when cut short, and the
// cross-fade and the move-in show both scenes half way.

#include <gtest/gtest.h>

#include "engine/actions/transitions/CCTransitionCrossFade.h"
#include "engine/actions/transitions/CCTransitionFade.h"
#include "engine/actions/transitions/CCTransitionFadeBL.h"
#include "engine/actions/transitions/CCTransitionFadeDown.h"
#include "engine/actions/transitions/CCTransitionFadeUp.h"
#include "engine/actions/transitions/CCTransitionMoveInL.h"
#include "engine/actions/transitions/CCTransitionPageTurn.h"
#include "engine/actions/transitions/CCTransitionProgressHorizontal.h"
#include "engine/actions/transitions/CCTransitionProgressInOut.h"
#include "engine/actions/transitions/CCTransitionProgressOutIn.h"
#include "engine/actions/transitions/CCTransitionProgressRadialCCW.h"
#include "engine/actions/transitions/CCTransitionProgressRadialCW.h"
#include "engine/actions/transitions/CCTransitionProgressVertical.h"
#include "engine/actions/transitions/CCTransitionSplitRows.h"
#include "engine/actions/transitions/CCTransitionTurnOffTiles.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCLayerColor.h"
#include "engine/render/CCGridBase.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kRed{255, 0, 0};
constexpr ccColor3B kGreen{0, 255, 0};
constexpr ccColor3B kBlue{0, 0, 255};
constexpr float kDuration = 0.5f;  // 32 frames of the fixed clock

RefPtr<CCScene> colouredScene(ccColor3B colour) {
    RefPtr<CCScene> scene = CCScene::node();
    scene->addChild(CCLayerColor::layerWithColor({colour.r, colour.g, colour.b, 255}).get());
    return scene;
}

using Factory = RefPtr<CCTransitionScene> (*)(float, RefPtr<CCScene>);
template <class T>
RefPtr<CCTransitionScene> make(float duration, RefPtr<CCScene> scene) {
    return T::transitionWithDuration(duration, std::move(scene));
}
template <bool backwards>
RefPtr<CCTransitionScene> pageTurn(float duration, RefPtr<CCScene> scene) {
    return CCTransitionPageTurn::transitionWithDuration(duration, std::move(scene), backwards);
}

struct Kind {
    const char* name;
    Factory make;
    int64_t overlayTag;  // of the child laid over the scenes while the transition runs; -1: none
};
void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }
const Kind kKinds[] = {
    {"Fade", make<CCTransitionFade>, kCCTransitionFadeLayerTag},
    {"CrossFade", make<CCTransitionCrossFade>, kCCTransitionFadeLayerTag},
    {"ProgressRadialCCW", make<CCTransitionProgressRadialCCW>, kCCTransitionProgressNodeTag},
    {"ProgressRadialCW", make<CCTransitionProgressRadialCW>, kCCTransitionProgressNodeTag},
    {"ProgressHorizontal", make<CCTransitionProgressHorizontal>, kCCTransitionProgressNodeTag},
    {"ProgressVertical", make<CCTransitionProgressVertical>, kCCTransitionProgressNodeTag},
    {"ProgressInOut", make<CCTransitionProgressInOut>, kCCTransitionProgressNodeTag},
    {"ProgressOutIn", make<CCTransitionProgressOutIn>, kCCTransitionProgressNodeTag},
    {"TurnOffTiles", make<CCTransitionTurnOffTiles>, -1},
    {"SplitCols", make<CCTransitionSplitCols>, -1},
    {"SplitRows", make<CCTransitionSplitRows>, -1},
    {"FadeTR", make<CCTransitionFadeTR>, -1},
    {"FadeBL", make<CCTransitionFadeBL>, -1},
    {"FadeUp", make<CCTransitionFadeUp>, -1},
    {"FadeDown", make<CCTransitionFadeDown>, -1},
    {"PageTurn", pageTurn<false>, -1},
    {"PageTurnBackwards", pageTurn<true>, -1},
};

class CCTransitionGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        scene_->addChild(CCLayerColor::layerWithColor({kRed.r, kRed.g, kRed.b, 255}).get());
    }
    // Runs frames until the scene runs (at most three durations), then one more that draws it.
    void runUntilDrawn(CCScene* scene) {
        for (int i = 0; i < 96 && director_->runningScene() != scene; ++i) runFrames(1);
        ASSERT_EQ(director_->runningScene(), scene);
        runFrames(1);
    }
    bool eventsOn() const { return director_->eventDispatcher()->dispatchEvents(); }
    // Shown, unmoved and drawn without a grid effect.
    static void expectPlain(CCScene* scene) {
        EXPECT_TRUE(scene->visible());
        EXPECT_EQ(scene->position(), CGPointZero);
        EXPECT_EQ(scene->scale(), 1);
        EXPECT_TRUE(!scene->grid() || !scene->grid()->active());
    }
};

class EveryDrawnTransition : public CCTransitionGLTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(EveryDrawnTransition, EndsOnTheNewSceneAloneAlsoWhenCutShort) {
    const Kind& kind = GetParam();
    RefPtr<CCScene> blue = colouredScene(kBlue);
    const RefPtr<CCTransitionScene> transition = kind.make(kDuration, blue);
    ASSERT_NE(transition, nullptr);
    director_->replaceScene(transition);
    runFrames(4);
    EXPECT_FALSE(eventsOn());
    if (kind.overlayTag >= 0) {
        EXPECT_NE(transition->getChildByTag(kind.overlayTag), nullptr);
    }
    runUntilDrawn(blue.get());
    for (auto [x, y] : {std::pair{kWidth / 2, kHeight / 2}, {4, 4}, {kWidth - 4, kHeight - 4}}) {
        EXPECT_TRUE(pixelNear(x, y, kBlue));
    }
    EXPECT_TRUE(eventsOn());
    if (kind.overlayTag >= 0) {
        EXPECT_EQ(transition->getChildByTag(kind.overlayTag), nullptr);
        EXPECT_EQ(blue->getChildByTag(kind.overlayTag), nullptr);
    }
    expectPlain(scene_.get());
    expectPlain(blue.get());

    // Cut short half way by another scene: that scene shows alone, and the two left behind are
    // plain again.
    RefPtr<CCScene> green = colouredScene(kGreen);
    RefPtr<CCScene> red = colouredScene(kRed);
    const RefPtr<CCTransitionScene> cutShort = kind.make(kDuration, green);
    director_->replaceScene(cutShort);
    runFrames(16);
    director_->replaceScene(red);
    runUntilDrawn(red.get());
    EXPECT_TRUE(pixelNear(kWidth / 2, kHeight / 2, kRed));
    EXPECT_TRUE(eventsOn());
    // None of its actions, which call it back, is left holding it.
    EXPECT_EQ(cutShort->retainCount(), 1u);
    expectPlain(blue.get());
    expectPlain(green.get());
}

INSTANTIATE_TEST_SUITE_P(Transitions, EveryDrawnTransition, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CCTransitionGLTest, CrossFadeStartsOnTheOldSceneAndMixesBothHalfWay) {
    RefPtr<CCScene> blue = colouredScene(kBlue);
    director_->replaceScene(CCTransitionCrossFade::transitionWithDuration(kDuration, blue));
    runFrames(2);
    EXPECT_TRUE(pixelNear(kWidth / 2, kHeight / 2, kRed));
    // Half the duration: half of each.
    runFrames(16);
    EXPECT_TRUE(pixelNear(kWidth / 2, kHeight / 2, {128, 0, 128}));
}

TEST_F(CCTransitionGLTest, MoveInHalfWayShowsTheNewSceneOnTheLeftAndTheOldOnTheRight) {
    RefPtr<CCScene> blue = colouredScene(kBlue);
    director_->replaceScene(CCTransitionMoveInL::transitionWithDuration(kDuration, blue));
    runFrames(18);
    // Eased out at rate 2, half the time brings the new scene's right edge to about 0.71 W.
    EXPECT_TRUE(pixelNear(kWidth / 20, kHeight / 2, kBlue));
    EXPECT_TRUE(pixelNear(kWidth / 2, kHeight / 2, kBlue));
    EXPECT_TRUE(pixelNear(kWidth * 9 / 10, kHeight / 2, kRed));
}

TEST_F(CCTransitionGLTest, TileAndPageGridsFollowTheWindowShape) {
    const struct {
        int width, height;
        ccGridSize tiles, page;
    } windows[] = {{kWidth, kHeight, {16, 12}, {16, 12}}, {kHeight, kWidth, {9, 12}, {12, 16}}};
    director_->setResizeMode(CCResizeModeFollowView);
    for (const auto& window : windows) {
        resizeWindow(window.width, window.height);
        for (auto [transition, expected] : {std::pair<Factory, ccGridSize>{make<CCTransitionFadeUp>, window.tiles},
                                            {make<CCTransitionTurnOffTiles>, window.tiles},
                                            {pageTurn<false>, window.page}}) {
            RefPtr<CCScene> leaving(director_->runningScene());
            RefPtr<CCScene> next = colouredScene(kBlue);
            director_->replaceScene(transition(kDuration, next));
            runFrames(3);
            const auto* grid = dynamic_cast<CCGridBase*>(leaving->grid());
            ASSERT_NE(grid, nullptr);
            EXPECT_EQ(grid->gridSize().x, expected.x) << window.width << " x " << window.height;
            EXPECT_EQ(grid->gridSize().y, expected.y) << window.width << " x " << window.height;
            runUntilDrawn(next.get());
        }
    }
}

}  // namespace
