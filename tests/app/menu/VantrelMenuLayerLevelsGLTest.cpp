// The level-group screens: where the hives stand, what each shows (tabs, score, unlock line, glow,
// play button or lock), the honey rising and draining, and starting a level from a play button.

#include <cmath>

#include "app/menu/VantrelMenuScreenData.h"
#include "shell/VantrelTransitionLayer.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/support/CCArray.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/KSMenuItem.h"
#include "platform/foundation/Log.h"
#include "support/CountingCursorHider.h"
#include "support/GLSceneTest.h"
#include "tests/app/menu/MenuProgressTestSupport.h"

namespace {

using menutest::catalogue;
using menutest::catalogueLevel;

Event mouse(EventType type, double x, double y) {
    Event event;
    event.type = type;
    event.locationInWindow = {x, y};
    return event;
}

std::vector<CCNode*> childrenOf(CCNode* node) {
    std::vector<CCNode*> nodes;
    if (!node || !node->children()) return nodes;
    for (uint64_t i = 0; i < node->children()->count(); ++i) {
        nodes.push_back(dynamic_cast<CCNode*>(node->children()->objectAtIndex(i)));
    }
    return nodes;
}

// The first child of `node` showing the menu frame `frameName`, or null.
CCSprite* childWithFrame(CCNode* node, const std::string& frameName) {
    const RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    for (CCNode* child : childrenOf(node)) {
        auto* sprite = dynamic_cast<CCSprite*>(child);
        if (sprite && frame && sprite->isFrameDisplayed(frame.get())) return sprite;
    }
    return nullptr;
}

class LevelScreensTest : public menutest::MenuProgressTest {
protected:
    VantrelMenuScreenData* screen(const std::string& name) const {
        return layer_->getScreenData(layer_->getScreenIndex(name));
    }

    // The holders of a group's screen, in slot order: the screen node's empty sprites.
    std::vector<CCSprite*> holders(const std::string& group) const {
        std::vector<CCSprite*> found;
        for (CCNode* child : childrenOf(screen(group)->screenNode)) {
            auto* sprite = dynamic_cast<CCSprite*>(child);
            if (sprite && sprite->textureRect().size.width == 0) found.push_back(sprite);
        }
        return found;
    }

    // The hive body of a holder.
    CCSprite* hive(CCSprite* holder) const { return childWithFrame(holder, "menu_hive_inner.png"); }

    // The best-score labels of a group's screen, in slot order.
    std::vector<CCLabelBMFont*> scoreLabels(const std::string& group) const {
        std::vector<CCLabelBMFont*> labels;
        for (CCNode* child : childrenOf(screen(group)->centreNode)) {
            if (auto* label = dynamic_cast<CCLabelBMFont*>(child)) labels.push_back(label);
        }
        return labels;
    }

    // Shows a group's screen at rest, its frame drawn.
    void showGroup(const std::string& group) {
        layer_->showScreen(layer_->getScreenIndex(group), true);
        settle(120);
        director_->runFrames(1);
    }

    void click(double x, double y) {
        director_->eventDispatcher()->mouseDown(mouse(EventType::mouseDown, x, y));
        director_->eventDispatcher()->mouseUp(mouse(EventType::mouseUp, x, y));
    }
};

TEST_F(LevelScreensTest, SlotsStandSideBySideForOneTwoAndThreeLevels) {
    makeProgress(catalogue({{"one", {catalogueLevel("one_a")}},
                            {"two", {catalogueLevel("two_a"), catalogueLevel("two_b")}},
                            {"three", {catalogueLevel("three_a"), catalogueLevel("three_b"), catalogueLevel("three_c")}}}));
    openMenu();
    const struct {
        const char* group;
        std::vector<double> x;
    } cases[] = {{"one", {412}}, {"two", {290, 534}}, {"three", {168, 412, 656}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.group);
        const VantrelMenuScreenData* data = screen(c.group);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->levelCount, static_cast<int32_t>(c.x.size()));
        const std::vector<CCSprite*> slots = holders(c.group);
        ASSERT_EQ(slots.size(), 3u);
        KSMenuItem* items[] = {data->levelMenuItemA, data->levelMenuItemB, data->levelMenuItemC};
        for (size_t i = 0; i < 3; ++i) {
            if (i >= c.x.size()) {
                EXPECT_TRUE(childrenOf(slots[i]).empty()) << "an unused slot stays empty";
                EXPECT_EQ(items[i], nullptr);
                continue;
            }
            EXPECT_EQ(slots[i]->position(), (CGPoint{c.x[i], 187}));
            ASSERT_NE(items[i], nullptr);
            // The button's images stay in the slot, inside the screen's batch.
            EXPECT_EQ(items[i]->normalImage()->parent(), slots[i]);
            const char tab[] = {'a', 'b', 'c'};
            EXPECT_NE(childWithFrame(slots[i], stringWithFormat("menu_hive_%c_title.png", tab[i])), nullptr);
        }
    }
    EXPECT_EQ(layer_->hivesHoney().size(), 6u);
}

TEST_F(LevelScreensTest, AGroupOfFourLevelsShowsTheFirstThree) {
    makeProgress(catalogue({{"big", {catalogueLevel("big_a"), catalogueLevel("big_b"), catalogueLevel("big_c"),
                                     catalogueLevel("big_d")}}}));
    LogCapture log;
    openMenu();
    EXPECT_EQ(screen("big")->levelCount, 3);
    EXPECT_NE(screen("big")->levelMenuItemC, nullptr);
    EXPECT_EQ(layer_->hivesHoney().size(), 3u);
    EXPECT_TRUE(log.contains("\"big\" has 4 levels"));
}

TEST_F(LevelScreensTest, AClosedLevelShowsALockAndHasNoButton) {
    // "b" opens at 100 points of "a", which has 99.
    makeProgress(catalogue({{"g", {catalogueLevel("g_a", 200, 100), catalogueLevel("g_b", 200, 100)}}}));
    levels_->setScore(99, "g_a");
    openMenu();
    const std::vector<CCSprite*> slots = holders("g");
    EXPECT_NE(screen("g")->levelMenuItemA, nullptr);
    EXPECT_EQ(screen("g")->levelMenuItemB, nullptr);
    EXPECT_EQ(childWithFrame(slots[0], "menu_locked.png"), nullptr);
    EXPECT_NE(childWithFrame(slots[1], "menu_locked.png"), nullptr);
    EXPECT_EQ(childWithFrame(slots[1], "menu_play_button.png"), nullptr);
    EXPECT_EQ(childWithFrame(slots[1], "menu_score_bg.png"), nullptr);
    EXPECT_EQ(scoreLabels("g").size(), 1u) << "only the open level shows its score";
}

struct LastGame {
    const char* name;
    const char* lastLevel;
    bool newBest, unlocked;
    const char* unlockedLevel;
    bool glowOnA, bestTabOnA, openTabOnB;
};

void PrintTo(const LastGame& game, std::ostream* out) { *out << game.name; }

class LevelTabsTest : public LevelScreensTest, public ::testing::WithParamInterface<LastGame> {};

TEST_P(LevelTabsTest, GlowAndTabsFollowTheLastGame) {
    const LastGame& game = GetParam();
    VantrelGlobal* global = VantrelGlobal::sharedInstance();
    global->setLastLevelId(game.lastLevel);
    global->setLastLevelHasNewHighScore(game.newBest);
    global->setLastLevelUnlockedNewLevel(game.unlocked);
    global->setUnlockedLevelId(game.unlockedLevel);
    makeProgress(catalogue({{"g", {catalogueLevel("g_a"), catalogueLevel("g_b")}}}));
    openMenu();
    const std::vector<CCSprite*> slots = holders("g");
    CCSprite* glow = childWithFrame(slots[0], "menu_hive_selected.png");
    EXPECT_EQ(glow != nullptr, game.glowOnA);
    EXPECT_EQ(childWithFrame(slots[1], "menu_hive_selected.png"), nullptr);
    EXPECT_EQ(childWithFrame(slots[0], "menu_highscore_tab.png") != nullptr, game.bestTabOnA);
    EXPECT_EQ(childWithFrame(slots[1], "menu_highscore_tab.png"), nullptr);
    EXPECT_EQ(childWithFrame(slots[1], "menu_hive_open_tab.png") != nullptr, game.openTabOnB);
    EXPECT_EQ(childWithFrame(slots[0], "menu_hive_open_tab.png"), nullptr);
    if (!glow) return;
    // Centred on the hive, pulsing from transparent.
    const CCSprite* inner = hive(slots[0]);
    EXPECT_EQ(glow->position(), (CGPoint{44 + 112 / 2.0, 136 + 150 / 2.0}));
    EXPECT_EQ(glow->numberOfRunningActions(), 1u);
    EXPECT_NE(inner, nullptr);
    director_->runFrames(40);  // 0.625 s: half way up
    EXPECT_NEAR(glow->opacity(), 127, 8);
}

INSTANTIATE_TEST_SUITE_P(
    Games, LevelTabsTest,
    ::testing::Values(LastGame{"FirstStart", "", false, false, "", false, false, false},
                      LastGame{"PlayedWithoutNewBest", "g_a", false, false, "", true, false, false},
                      LastGame{"PlayedWithNewBest", "g_a", true, false, "", true, true, false},
                      LastGame{"PlayedAndOpenedTheNext", "g_a", true, true, "g_b", true, true, true},
                      LastGame{"OtherLevelPlayed", "elsewhere_a", true, false, "", false, false, false}),
    [](const ::testing::TestParamInfo<LastGame>& info) { return std::string(info.param.name); });

TEST_F(LevelScreensTest, TheUnlockLineMarksTheUnlockScoreUpToTheTop) {
    Value noReference = catalogueLevel("d_a", 200, 50);
    noReference.set("use_reference_score", false);
    makeProgress(catalogue({
        {"a", {catalogueLevel("a_a", 200, 50), catalogueLevel("a_b")}},    // a quarter up
        {"b", {catalogueLevel("b_a", 200, 300), catalogueLevel("b_b")}},   // above the reference: the top
        {"c", {catalogueLevel("c_a", 0, 50), catalogueLevel("c_b")}},      // no reference score
        {"d", {noReference, catalogueLevel("d_b")}},                       // reference scores unused
        {"e", {catalogueLevel("e_a", 200, 0), catalogueLevel("e_b")}},     // no unlock score
        {"f", {catalogueLevel("f_a", 200, 50)}},                           // last of its group
    }));
    openMenu();
    const struct {
        const char* group;
        bool line;
        double y;
    } cases[] = {{"a", true, 37.5}, {"b", true, 150}, {"c", false, 0},
                 {"d", false, 0},   {"e", false, 0},  {"f", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.group);
        CCSprite* inner = hive(holders(c.group)[0]);
        ASSERT_NE(inner, nullptr);
        CCSprite* line = childWithFrame(inner, "menu_hive_unlock_line.png");
        ASSERT_EQ(line != nullptr, c.line);
        if (line) {
            EXPECT_EQ(line->position(), (CGPoint{56, c.y}));
        }
    }
}

TEST_F(LevelScreensTest, BestScoresShowAsUnsignedNumbersOnTheScorePlaque) {
    makeProgress(catalogue({{"g", {catalogueLevel("g_a"), catalogueLevel("g_b"), catalogueLevel("g_c")}}}));
    levels_->setScore(2147483648u, "g_b");
    levels_->setScore(4294967295u, "g_c");
    openMenu();
    const std::vector<CCLabelBMFont*> labels = scoreLabels("g");
    ASSERT_EQ(labels.size(), 3u);
    const char* texts[] = {"0", "2147483648", "4294967295"};
    const double slotX[] = {168, 412, 656};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(labels[i]->string(), texts[i]);
        // The plaque (168 x 50 at (16, 60) in the slot) in the centre node, whose origin is the
        // window's centre; nudged by (2, -5).
        EXPECT_EQ(labels[i]->position(), (CGPoint{slotX[i] + 16 + 84 - 512 + 2, 187 + 60 + 25 - 384 - 5}));
    }
}

TEST_F(LevelScreensTest, HoniesDrainWhenAChangeStartsAndFillToTheirShareOnArrival) {
    makeProgress(catalogue({{"g", {catalogueLevel("g_a", 200, 0), catalogueLevel("g_b", 200, 0),
                                   catalogueLevel("g_c")}}}));
    levels_->setScore(50, "g_a");
    levels_->setScore(900, "g_b");  // above the reference: full
    levels_->setScore(40, "g_c");   // no reference score: empty
    openMenu();
    const std::vector<RefPtr<CCSprite>>& honey = layer_->hivesHoney();
    ASSERT_EQ(honey.size(), 3u);
    const float filled[] = {0.25f, 1.0f, 0.0f};
    const auto expectScales = [&](const float* scales, const char* when) {
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(honey[i]->scaleY(), scales[i]) << when << ", hive " << i;
            EXPECT_FLOAT_EQ(honey[i]->scaleX(), 1.0f) << when << ", hive " << i;
        }
    };
    // Filling since the menu was built: not yet full before 0.75 s, at its share from then on.
    director_->runFrames(44);
    EXPECT_LT(honey[0]->scaleY(), 0.25f);
    EXPECT_LT(honey[1]->scaleY(), 1.0f);
    director_->runFrames(6);
    expectScales(filled, "built");

    layer_->showScreen(layer_->getScreenIndex("g"), false);
    director_->runFrames(8);  // 0.125 s
    const float empty[] = {0, 0, 0};
    expectScales(empty, "changing");
    settle();
    director_->runFrames(50);
    expectScales(filled, "arrived");
}

// A group's screen taken off the world takes its hives along: every hive stops where it is, and
// later fills move only the hives still shown.
TEST_F(LevelScreensTest, ADestroyedScreenTakesItsHivesAndStopsEveryFill) {
    makeProgress(catalogue({{"a", {catalogueLevel("a_a", 200, 0), catalogueLevel("a_b", 200, 0)}},
                            {"b", {catalogueLevel("b_a", 200, 0)}}}));
    for (const char* id : {"a_a", "a_b", "b_a"}) levels_->setScore(100, id);
    openMenu();
    director_->runFrames(10);  // filling since the menu was built
    const std::vector<RefPtr<CCSprite>> built = layer_->hivesHoney();
    ASSERT_EQ(built.size(), 3u);
    for (const RefPtr<CCSprite>& honey : built) ASSERT_EQ(honey->numberOfRunningActions(), 1u);
    const float shownFill = built[2]->scaleY();

    EXPECT_TRUE(layer_->destroyScreen("a"));
    ASSERT_EQ(layer_->hivesHoney().size(), 1u);
    EXPECT_EQ(layer_->hivesHoney()[0], built[2]);
    for (const RefPtr<CCSprite>& honey : built) EXPECT_EQ(honey->numberOfRunningActions(), 0u);
    director_->runFrames(10);
    EXPECT_EQ(built[2]->scaleY(), shownFill) << "stopped where it was";
    // Held by nothing but this test: the screen and the list have let go.
    EXPECT_EQ(built[0]->retainCount(), 1u);
    EXPECT_EQ(built[1]->retainCount(), 1u);

    layer_->fillHives();
    EXPECT_EQ(built[0]->numberOfRunningActions() + built[1]->numberOfRunningActions(), 0u);
    EXPECT_EQ(built[2]->numberOfRunningActions(), 1u);
    EXPECT_FALSE(layer_->destroyScreen("a"));
}

TEST_F(LevelScreensTest, AClickUpTo266PointsAboveAPlayButtonStartsItsLevelForGood) {
    if (!VantrelTransitionLayer::isSceneRegistered("VantrelGameLayer")) {
        VantrelTransitionLayer::registerScene("VantrelGameLayer", [] { return CCScene::node(); });
    }
    makeProgress(catalogue({{"g", {catalogueLevel("g_a")}}}));
    openMenu();
    showGroup("g");
    CountingCursorHider cursor;
    // The button (200 x 60) stands at (412, 187) in window points.
    const struct {
        double x, y;
        bool starts;
    } clicks[] = {{512, 187 + 60 + 270, false}, {412 - 20, 200, false}, {512, 187 - 20, false},
                  {512, 187 + 60 + 260, true}};
    for (const auto& c : clicks) {
        click(c.x, c.y);
        if (!c.starts) settle();  // a click that misses is a drag that swings back
        EXPECT_EQ(VantrelGlobal::sharedInstance()->nextLevelId(), c.starts ? "g_a" : "") << c.x << ", " << c.y;
    }
    EXPECT_TRUE(layer_->isBusy());
    EXPECT_TRUE(cursor.hidden) << "the pointer hides until the mouse moves";
    EXPECT_FALSE(layer_->isMouseEnabled());
    EXPECT_FALSE(layer_->isKeyboardEnabled());
    EXPECT_EQ(layer_->touchTracker(), nullptr);
    ASSERT_NE(director_->nextScene(), nullptr) << "the transition scene is on its way";
    // Later input changes nothing: the menu stays on its screen and busy.
    const int32_t shown = layer_->currentScreenIndex();
    VantrelGlobal::sharedInstance()->setNextLevelId({});
    layer_->onLevelMenuItemPressed(screen("g")->levelMenuItemA);
    layer_->onRightPressed(nullptr);
    for (int i = 0; i < 60; ++i) layer_->update(1.0f / 60);
    EXPECT_EQ(VantrelGlobal::sharedInstance()->nextLevelId(), "");
    EXPECT_EQ(layer_->currentScreenIndex(), shown);
    EXPECT_TRUE(layer_->isBusy());
}

TEST_F(LevelScreensTest, PressesWhileTheWorldTurnsDoNothing) {
    makeProgress(catalogue({{"g", {catalogueLevel("g_a")}}}));
    openMenu();
    layer_->showScreen(layer_->getScreenIndex("credits"), false);
    ASSERT_TRUE(layer_->isBusy());
    layer_->onLevelMenuItemPressed(screen("g")->levelMenuItemA);
    EXPECT_EQ(VantrelGlobal::sharedInstance()->nextLevelId(), "");
    settle();
    EXPECT_FALSE(layer_->isBusy()) << "a change that ends leaves the menu free";
}

class LevelScreenPixelsTest : public LevelScreensTest {
protected:
    void SetUp() override {
        LevelScreensTest::SetUp();
        grabber_ = makeRef<FrameGrabber>();
        director_->setNotificationNode(grabber_);
    }

    ccColor3B pixel(int x, int y) const {
        const uint8_t* p = &grabber_->pixels[(static_cast<size_t>(y) * grabber_->width + x) * 4];
        return {p[0], p[1], p[2]};
    }

    static bool near(ccColor3B a, ccColor3B b) {
        return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
    }

    RefPtr<FrameGrabber> grabber_;
};

TEST_F(LevelScreenPixelsTest, AClosedLevelShowsItsLockWhereAnOpenOneShowsItsButtonAndScore) {
    makeProgress(catalogue({{"g", {catalogueLevel("g_a", 200, 100), catalogueLevel("g_b", 200, 100)}}}));
    openMenu();
    showGroup("g");
    ASSERT_EQ(grabber_->width, kWidth);
    // Slots at x 290 (open) and 534 (closed); the button's lower part and the plaque or lock above it.
    const struct {
        int x, y;
        ccColor3B colour;
        bool shows;
    } probes[] = {
        {290 + 8, 187 + 20, menutest::kPlayButtonColour, true},
        {290 + 30, 187 + 80, menutest::kScoreBackgroundColour, true},
        {534 + 30, 187 + 80, menutest::kLockColour, true},
        {534 + 8, 187 + 20, menutest::kPlayButtonColour, false},
        {290 + 30, 187 + 80, menutest::kLockColour, false},
    };
    for (const auto& probe : probes) {
        const ccColor3B seen = pixel(probe.x, probe.y);
        EXPECT_EQ(near(seen, probe.colour), probe.shows)
            << "(" << probe.x << ", " << probe.y << ") shows " << int(seen.r) << ", " << int(seen.g) << ", "
            << int(seen.b);
    }
}

}  // namespace
