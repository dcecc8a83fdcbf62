// The game-service view shown by the real director in a window, over the fake service.

#include "shell/GameKitOverlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/GameKitHelper.h"
#include "shell/GameKitOverlayLayer.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCLayerColor.h"
#include "engine/render/CCLabelTTF.h"
#include "platform/foundation/RunLoop.h"
#include "support/FakeGameService.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

constexpr ccColor3B kSceneRed{255, 0, 0};

struct ViewDelegate : GameKitHelperProtocol {
    std::vector<std::string> calls;
    void onGameCenterViewPresented(int state) override { calls.push_back("presented " + std::to_string(state)); }
    void onGameCenterViewDismissed() override { calls.push_back("dismissed"); }
};

// A scene layer behind the view that counts the input reaching it.
class InputCounter : public CCLayer {
public:
    InputCounter() {
        setIsMouseEnabled(true);
        setIsKeyboardEnabled(true);
        setIsTouchEnabled(true);
    }
    bool ccMouseDown(const Event&) override { return ++events, true; }
    bool ccKeyDown(const Event&) override { return ++events, true; }
    bool ccTouchesBeganWithEvent(const Event&) override { return ++events, true; }
    int events = 0;
};

void collectTexts(CCNode* node, std::vector<std::string>& texts) {
    if (auto* label = dynamic_cast<CCLabelTTF*>(node)) texts.push_back(label->string());
    if (CCArray* children = node->children()) {
        for (Object* child : *children) collectTexts(static_cast<CCNode*>(child), texts);
    }
}

Event mouseAt(double x, double y, EventType type) {
    Event event;
    event.type = type;
    event.locationInWindow = {x, y};
    return event;
}

Event keyDown(uint16_t keyCode) {
    Event event;
    event.type = EventType::keyDown;
    event.keyCode = keyCode;
    return event;
}

RefPtr<GameServiceScore> best(const std::string& category, int64_t value) {
    return makeRef<GameServiceScore>(category, value, 10, "fake:1");
}

class GameKitOverlayGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        drainMainRunLoop();
        service_ = makeRef<FakeGameService>();
        helper_ = std::make_unique<GameKitHelper>(service_, folder_.path());
        overlay_ = std::make_unique<GameKitOverlay>(*helper_, service_);
        helper_->setViewPresenter(overlay_.get());
        helper_->setDelegate(&delegate_);
        helper_->authenticateLocalPlayer();
        drainMainRunLoop();
        background_ = CCLayerColor::layerWithColor({255, 0, 0, 255});
        scene_->addChild(background_.get());
        counter_ = makeRef<InputCounter>();
        scene_->addChild(counter_.get());
    }
    void TearDown() override {
        if (helper_) helper_->closeGameCenter();
        overlay_.reset();
        helper_.reset();
        GLSceneTest::TearDown();
    }

    // Shows the view at `state` and lets its load complete.
    std::vector<std::string> show(int state) {
        helper_->showGameCenter(state);
        drainMainRunLoop();
        std::vector<std::string> texts;
        if (overlay_->layer()) collectTexts(overlay_->layer(), texts);
        return texts;
    }
    static bool has(const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    CCEventDispatcher& dispatcher() { return *director_->eventDispatcher(); }

    TemporaryFolder folder_;
    RefPtr<FakeGameService> service_;
    std::unique_ptr<GameKitHelper> helper_;
    std::unique_ptr<GameKitOverlay> overlay_;
    ViewDelegate delegate_;
    RefPtr<CCLayerColor> background_;
    RefPtr<InputCounter> counter_;
};

TEST_F(GameKitOverlayGLTest, LeaderboardsShowTheStoredBestsUnderTheirLevelNames) {
    service_->bestScoresToLoad = {best("vtosx_global_honey", 4321), best("vtosx_meadow_a", 1200), best("vtosx_unlisted", 7)};
    overlay_->setLeaderboardTitles({{"vtosx_meadow_a", "Meadow"}});
    for (int state : {0, -1}) {
        SCOPED_TRACE(state);
        const std::vector<std::string> texts = show(state);
        EXPECT_EQ(delegate_.calls.back(), "presented " + std::to_string(state));
        EXPECT_TRUE(has(texts, "SCORES ON THIS COMPUTER"));
        EXPECT_TRUE(has(texts, "LEADERBOARDS"));
        // Total first, then the named level, then the rest by identifier.
        const auto total = std::find(texts.begin(), texts.end(), GameKitOverlay::kTotalTitle);
        ASSERT_NE(total, texts.end());
        EXPECT_EQ(std::vector<std::string>(total, total + 6),
                  (std::vector<std::string>{"TOTAL HONEY", "4321", "Meadow", "1200", "unlisted", "7"}));
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [](const std::string& t) { return t.find("kept on this computer") != std::string::npos; }));
        helper_->closeGameCenter();
    }
}

TEST_F(GameKitOverlayGLTest, ManyLeaderboardsAllFitInsideThePanel) {
    for (int level = 0; level < 50; ++level) {
        service_->bestScoresToLoad.push_back(best("vtosx_level_" + std::to_string(100 + level), level));
    }
    const std::vector<std::string> texts = show(0);
    EXPECT_TRUE(has(texts, "level_100") && has(texts, "level_149") && has(texts, "49"));
    const CGRect panel = overlay_->layer()->panelRect();
    std::function<void(CCNode*)> check = [&](CCNode* node) {
        if (auto* label = dynamic_cast<CCLabelTTF*>(node)) {
            const CGRect box = CGRectApplyAffineTransform(CGRect{CGPointZero, label->contentSize()},
                                                          label->nodeToWorldTransform());
            EXPECT_TRUE(box.origin.x >= panel.origin.x && box.origin.y >= panel.origin.y &&
                        box.origin.x + box.size.width <= panel.origin.x + panel.size.width &&
                        box.origin.y + box.size.height <= panel.origin.y + panel.size.height)
                << label->string();
            // Readable: no smaller than a 28th of the panel's height, at 70 % of a row.
            EXPECT_GE(label->fontSize(), panel.size.height / 28 * 0.7 - 0.01) << label->string();
        }
        if (CCArray* children = node->children()) {
            for (Object* child : *children) check(static_cast<CCNode*>(child));
        }
    };
    check(overlay_->layer());
}

TEST_F(GameKitOverlayGLTest, AchievementsShowEveryRankWithItsPercentAndFailuresSaySo) {
    auto rank = [](const char* id, double percent) {
        auto achievement = makeRef<GameServiceAchievement>(id);
        achievement->setPercentComplete(percent);
        return achievement;
    };
    service_->achievementsToLoad = {rank("vtosx_rank_1", 100), rank("vtosx_rank_3", 50)};
    std::vector<std::string> texts = show(1);
    EXPECT_TRUE(has(texts, "ACHIEVEMENTS"));
    const auto first = std::find(texts.begin(), texts.end(), "RANK 1");
    ASSERT_LE(first + 20, texts.end());
    EXPECT_EQ(std::vector<std::string>(first, first + 6),
              (std::vector<std::string>{"RANK 1", "100 %", "RANK 2", "0 %", "RANK 3", "50 %"}));
    EXPECT_EQ(*(first + 18), "RANK 10");
    helper_->closeGameCenter();

    service_->loadError = GameService::error(GameService::kStoreNotWritable, "the store is broken");
    for (int state : {0, 1}) {
        texts = show(state);
        EXPECT_TRUE(has(texts, "The results cannot be read: the store is broken")) << state;
        helper_->closeGameCenter();
    }
    service_->loadError = nullptr;
    service_->bestScoresToLoad.clear();
    EXPECT_TRUE(has(show(0), "No scores yet: finish a level to set one."));
}

TEST_F(GameKitOverlayGLTest, TheViewIsDrawnOverTheSceneWhileTheDirectorIsPaused) {
    service_->bestScoresToLoad = {best("vtosx_global_honey", 4321), best("vtosx_meadow_a", 1200)};
    show(0);
    ASSERT_NE(overlay_->layer(), nullptr);
    EXPECT_EQ(director_->notificationNode(), overlay_->layer());
    director_->pause();
    // The frame is read after the view is drawn.
    overlay_->layer()->addChild(grabber_.get(), 100);
    runFrames(2);
    // Outside the panel the backdrop dims the red scene; inside, the panel covers it.
    const double backdrop = 160 / 255.0, panel = 240 / 255.0;
    const double dimmedRed = 255 * (1 - backdrop);
    const CGRect rect = overlay_->layer()->panelRect();
    EXPECT_TRUE(pixelNear(4, 4, {uint8_t(dimmedRed), 0, 0}));
    EXPECT_TRUE(pixelNear(int(rect.origin.x) + 3, int(rect.origin.y) + 3,
                          {uint8_t(24 * panel + dimmedRed * (1 - panel)), uint8_t(28 * panel), uint8_t(40 * panel)}));
    overlay_->layer()->removeChild(grabber_.get(), false);
    director_->resume();
}

TEST_F(GameKitOverlayGLTest, EscapeDoneOrAClickOutsideFinishAndAllOtherInputIsSwallowed) {
    struct Case {
        const char* name;
        std::function<void(CCEventDispatcher&, CGRect panel)> input;
        bool finishes;
    };
    const Case cases[] = {
        {"Escape", [](CCEventDispatcher& d, CGRect) { d.keyDown(keyDown(kKeyCodeEscape)); },
         true},
        {"another key", [](CCEventDispatcher& d, CGRect) { d.keyDown(keyDown(0)); }, false},
        {"touch", [](CCEventDispatcher& d, CGRect) { d.touchesBeganWithEvent(mouseAt(0, 0, EventType::touchesBegan)); },
         false},
        {"click outside", [](CCEventDispatcher& d, CGRect) { d.mouseDown(mouseAt(4, 4, EventType::mouseDown)); }, true},
        {"click inside",
         [](CCEventDispatcher& d, CGRect p) {
             d.mouseDown(mouseAt(p.origin.x + 6, p.origin.y + p.size.height / 2, EventType::mouseDown));
         },
         false},
        {"DONE",
         [](CCEventDispatcher& d, CGRect p) {
             // The button sits centred near the panel's bottom edge.
             const double x = p.origin.x + p.size.width / 2, y = p.origin.y + p.size.height * 0.08;
             d.mouseDown(mouseAt(x, y, EventType::mouseDown));
             d.mouseUp(mouseAt(x, y, EventType::mouseUp));
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        show(0);
        ASSERT_TRUE(helper_->isGameCenterViewOpen());
        delegate_.calls.clear();
        c.input(dispatcher(), overlay_->layer()->panelRect());
        EXPECT_EQ(counter_->events, 0);
        EXPECT_EQ(helper_->isGameCenterViewOpen(), !c.finishes);
        EXPECT_EQ(delegate_.calls, c.finishes ? std::vector<std::string>{"dismissed"} : std::vector<std::string>{});
        if (c.finishes) {
            EXPECT_EQ(overlay_->layer(), nullptr);
            EXPECT_EQ(director_->notificationNode(), grabber_.get());
            // Input goes to the scene again.
            dispatcher().mouseDown(mouseAt(4, 4, EventType::mouseDown));
            EXPECT_EQ(counter_->events, 1);
            counter_->events = 0;
        }
        helper_->closeGameCenter();
    }
}

}  // namespace
