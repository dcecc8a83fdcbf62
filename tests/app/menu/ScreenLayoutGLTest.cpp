// Nothing a player reads or clicks may lie on something else: on every menu screen (the level-group
// screens and the flight log above all) and on the end-of-day summary, the on-screen rectangles of
// the labels, buttons and hives are collected, in a 4:3 and a 16:9 window, with the build's own
// pictures and fonts, and none may cut into another or leave the window.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "game/core/GameMessage.h"
#include "game/core/Hud.h"
#include "game/core/KSMenu.h"
#include "game/core/KSMenuItem.h"
#include "game/core/Levels.h"
#include "game/core/PlaySceneTestSupport.h"
#include "game/core/Rank.h"
#include "game/core/Stats.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/Hive.h"
#include "platform/foundation/Random.h"
#include "tests/app/menu/MenuProgressTestSupport.h"
#include "tests/app/menu/MenuTestSupport.h"

namespace {

// Edges may touch; pictures and glyphs carry transparent margins of a point or two, so their boxes
// may reach this far (points) into each other without anything showing over anything.
constexpr double kSlack = 2.5;

std::vector<CCNode*> childrenOf(const CCNode* node) {
    std::vector<CCNode*> nodes;
    CCArray* children = node ? node->children() : nullptr;
    for (uint64_t i = 0; children && i < children->count(); ++i) {
        nodes.push_back(static_cast<CCNode*>(children->objectAtIndex(i)));
    }
    return nodes;
}

CGRect unite(CGRect a, CGRect b) {
    if (a.size.width <= 0) return b;
    if (b.size.width <= 0) return a;
    const double left = std::min(a.origin.x, b.origin.x), bottom = std::min(a.origin.y, b.origin.y);
    const double right = std::max(a.origin.x + a.size.width, b.origin.x + b.size.width);
    const double top = std::max(a.origin.y + a.size.height, b.origin.y + b.size.height);
    return CGRectMake(left, bottom, right - left, top - bottom);
}

// The window box of `rect` in `node`'s space.
CGRect windowBox(CCNode* node, CGRect rect) {
    double left = 1e18, bottom = 1e18, right = -1e18, top = -1e18;
    for (double x : {rect.origin.x, rect.origin.x + rect.size.width}) {
        for (double y : {rect.origin.y, rect.origin.y + rect.size.height}) {
            const CGPoint corner = node->convertToWorldSpace({x, y});
            left = std::min(left, corner.x), right = std::max(right, corner.x);
            bottom = std::min(bottom, corner.y), top = std::max(top, corner.y);
        }
    }
    return CGRectMake(left, bottom, right - left, top - bottom);
}

// What `node` draws, in window points: its picture (a sprite with a frame) and its shown
// children's; a label only its glyphs, not the width it wraps to; nothing when hidden.
CGRect drawnBox(CCNode* node) {
    if (!node || !node->visible()) return CGRectZero;
    CGRect box = CGRectZero;
    auto* sprite = dynamic_cast<CCSprite*>(node);
    if (sprite && sprite->textureRect().size.width > 0) box = windowBox(node, {CGPointZero, node->contentSize()});
    for (CCNode* child : childrenOf(node)) box = unite(box, drawnBox(child));
    return box;
}

// A button's pictures.
CGRect picturesBox(CCMenuItem* item) {
    auto* button = dynamic_cast<KSMenuItem*>(item);
    if (!button) return windowBox(item, {CGPointZero, item->contentSize()});
    CGRect box = CGRectZero;
    for (CCNode* image : {button->normalImage(), button->selectedImage()}) {
        if (image) box = unite(box, windowBox(image, {CGPointZero, image->contentSize()}));
    }
    return box;
}

// Where a click reaches the button.
CGRect reachBox(CCMenuItem* item) {
    auto* button = dynamic_cast<KSMenuItem*>(item);
    return button && button->normalImage() ? windowBox(button->normalImage(), button->rect()) : picturesBox(item);
}

bool overlap(CGRect a, CGRect b) {
    const double width = std::min(a.origin.x + a.size.width, b.origin.x + b.size.width) - std::max(a.origin.x, b.origin.x);
    const double height = std::min(a.origin.y + a.size.height, b.origin.y + b.size.height) - std::max(a.origin.y, b.origin.y);
    return width > kSlack && height > kSlack;
}

bool inside(CGRect inner, CGRect outer) {
    return inner.origin.x >= outer.origin.x - kSlack && inner.origin.y >= outer.origin.y - kSlack &&
           inner.origin.x + inner.size.width <= outer.origin.x + outer.size.width + kSlack &&
           inner.origin.y + inner.size.height <= outer.origin.y + outer.size.height + kSlack;
}

std::string describe(CGRect box) {
    std::ostringstream out;
    out << "(" << box.origin.x << ", " << box.origin.y << ", " << box.size.width << " x " << box.size.height << ")";
    return out.str();
}

// The things of one screen. A button holds its pictures; a thing that lies wholly on another (a
// score on its plaque, the bee on its emblem, a number in its grid) is part of it, unless it is a
// fixed control (the arrows, quit and full screen), which must stand clear of everything. What is
// shown must not overlap what else is shown, nor the places a click reaches each other (a click
// then would pick one of two buttons); a button's margin may reach over a mere picture.
class ScreenThings {
public:
    void add(std::string name, CCNode* node, bool fixed = false) {
        auto* item = dynamic_cast<CCMenuItem*>(node);
        add(std::move(name), item ? picturesBox(item) : drawnBox(node), item ? reachBox(item) : CGRectZero, fixed,
            node);
    }
    // `reach`: a button's click area, zero for anything else.
    void add(std::string name, CGRect shown, CGRect reach, bool fixed, const CCNode* node = nullptr) {
        if (shown.size.width <= 0 && reach.size.width <= 0) return;
        things_.push_back({std::move(name), shown, reach, fixed, dynamic_cast<const CCLabelBMFont*>(node) != nullptr, node});
    }

    // A thing that holds one of the button's pictures (a level slot holding its play button's)
    // joins the button.
    void holdPicturesOf(CCMenuItem* item) {
        auto* button = dynamic_cast<KSMenuItem*>(item);
        const size_t owner = indexOf(item);
        if (!button || owner == npos) return;
        for (size_t i = 0; i < things_.size(); ++i) {
            for (CCNode* image : {button->normalImage(), button->selectedImage()}) {
                for (const CCNode* up = image; up; up = up->parent()) {
                    if (up == things_[i].node) join(i, owner);
                }
            }
        }
    }

    // Failures name both things and their boxes; the window is (0, 0) to `window`.
    ::testing::AssertionResult apart(CGSize window) {
        for (size_t i = 0; i < things_.size(); ++i) {
            for (size_t j = 0; j < things_.size(); ++j) {
                if (i != j && !things_[i].fixed && !things_[j].fixed && things_[i].shown.size.width > 0 &&
                    inside(things_[i].shown, things_[j].shown)) {
                    join(i, j);
                }
            }
        }
        std::vector<CGRect> shown(things_.size(), CGRectZero), reach(things_.size(), CGRectZero);
        for (size_t i = 0; i < things_.size(); ++i) {
            shown[root(i)] = unite(shown[root(i)], things_[i].shown);
            reach[root(i)] = unite(reach[root(i)], things_[i].reach);
            if (!inside(things_[i].shown, CGRectMake(0, 0, window.width, window.height))) {
                return ::testing::AssertionFailure() << things_[i].name << " leaves the window: " << describe(things_[i].shown);
            }
        }
        for (size_t i = 0; i < things_.size(); ++i) {
            for (size_t j = i + 1; root(i) == i && j < things_.size(); ++j) {
                if (root(j) != j) continue;
                if (overlap(shown[i], shown[j])) {
                    return ::testing::AssertionFailure()
                           << what(i) << " " << describe(shown[i]) << " overlaps " << what(j) << " " << describe(shown[j]);
                }
                if (overlap(reach[i], reach[j])) {
                    return ::testing::AssertionFailure() << "a click at " << describe(reach[i]) << " reaches " << what(i)
                                                         << " and, at " << describe(reach[j]) << ", " << what(j);
                }
            }
        }
        // Two texts never share room, even on one plaque or grid.
        for (size_t i = 0; i < things_.size(); ++i) {
            for (size_t j = i + 1; j < things_.size(); ++j) {
                if (things_[i].label && things_[j].label && overlap(things_[i].shown, things_[j].shown)) {
                    return ::testing::AssertionFailure() << things_[i].name << " runs into " << things_[j].name;
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

private:
    static constexpr size_t npos = static_cast<size_t>(-1);
    struct Thing {
        std::string name;
        CGRect shown;  // what it draws: in the window, clear of what else is drawn
        CGRect reach;  // a button's click area: clear of the other buttons'
        bool fixed, label;
        const CCNode* node;
    };

    size_t indexOf(const CCNode* node) const {
        for (size_t i = 0; i < things_.size(); ++i) {
            if (things_[i].node == node) return i;
        }
        return npos;
    }
    size_t root(size_t i) {
        if (parents_.size() < things_.size()) {
            const size_t from = parents_.size();
            parents_.resize(things_.size());
            std::iota(parents_.begin() + static_cast<std::ptrdiff_t>(from), parents_.end(), from);
        }
        while (parents_[i] != i) i = parents_[i] = parents_[parents_[i]];
        return i;
    }
    void join(size_t a, size_t b) { parents_[root(a)] = root(b); }
    // The names of a group's members.
    std::string what(size_t group) {
        std::string names;
        for (size_t i = 0; i < things_.size(); ++i) {
            if (root(i) == group) names += (names.empty() ? "" : " + ") + things_[i].name;
        }
        return "[" + names + "]";
    }

    std::vector<Thing> things_;
    std::vector<size_t> parents_;
};

// A name for a node of the tree: a label's text, else its kind and place.
std::string nameOf(CCNode* node) {
    if (auto* label = dynamic_cast<CCLabelBMFont*>(node)) return "\"" + label->string() + "\"";
    if (dynamic_cast<CCMenuItem*>(node)) return "button " + describe(picturesBox(static_cast<CCMenuItem*>(node)));
    return "picture " + describe(drawnBox(node));
}

const CGSize kWindows[] = {{1024, 768}, {1920, 1080}};

std::string windowName(const ::testing::TestParamInfo<CGSize>& info) {
    return std::to_string(static_cast<int>(info.param.width)) + "x" + std::to_string(static_cast<int>(info.param.height));
}

// ---- The menu ----------------------------------------------------------------------------------

// The menu over the shipped catalogue and pictures, in a window of the test's size, with every
// level open and full, long statistics, the top rank just reached and the tabs and glow of a level
// just played.
class MenuLayoutTest : public menutest::MenuProgressTest, public ::testing::WithParamInterface<CGSize> {
protected:
    CGSize windowSize() const override { return GetParam(); }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MenuProgressTest::SetUp());
        std::string error;
        const std::optional<Value> shipped =
            Value::fromFile(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath("levels.plist"), &error);
        ASSERT_TRUE(shipped) << error;
        makeProgress(*shipped);
        for (const std::string& id : levels_->levels().keys()) levels_->setScore(99999, id);
        for (const char* stat : {"distance_travelled", "honey", "flowers_visited"}) stats_->setStatUInt(stat, 1234567);
        for (const char* stat : {"hives_visited", "buddies_found", "hornet_hits", "lightning_hits", "honey_bonuses",
                                 "time_bonuses", "nectar_bonuses"}) {
            stats_->setStatUInt(stat, 23456);
        }
        stats_->setStatInt("rank", 10);
        VantrelGlobal* global = VantrelGlobal::sharedInstance();
        global->startGame("meadow_b");
        global->setLastLevelId("meadow_b");
        global->setNextLevelId({});
        global->setLastLevelHasNewHighScore(true);
        global->setLastLevelHasNewRank(true);
        global->setLastLevelUnlockedNewLevel(true);
        global->setUnlockedLevelId("meadow_c");
        ASSERT_NO_FATAL_FAILURE(openMenu());
    }

    // The screen at `index` at rest in front of the camera.
    void show(int32_t index) {
        layer_->showScreen(index, true);
        settle(240);  // and the camera's spring with it
    }

    // The fixed controls, and what the screen shows: its pictures, labels and buttons.
    ScreenThings thingsOf(const VantrelMenuScreenData& screen) {
        ScreenThings things;
        for (CCNode* child : childrenOf(layer_.get())) {
            if (!dynamic_cast<KSMenu*>(child)) continue;
            for (CCNode* item : childrenOf(child)) things.add(nameOf(item), item, true);
        }
        const auto addShown = [&things](CCNode* node, const auto& addShown) -> void {
            // Plain holder nodes are not things of their own: what they hold is.
            if (!dynamic_cast<CCSprite*>(node) && !dynamic_cast<CCLabelBMFont*>(node) && node->children()) {
                for (CCNode* child : childrenOf(node)) addShown(child, addShown);
                return;
            }
            things.add(nameOf(node), node);
        };
        for (CCNode* child : childrenOf(screen.screenNode)) addShown(child, addShown);
        for (CCNode* child : childrenOf(screen.centreNode)) {
            if (child != screen.screenNode) addShown(child, addShown);
        }
        for (CCNode* child : childrenOf(screen.baseNode)) {
            if (!dynamic_cast<KSMenu*>(child)) continue;
            for (CCNode* item : childrenOf(child)) {
                things.add(nameOf(item), item);
                things.holdPicturesOf(static_cast<CCMenuItem*>(item));
            }
        }
        return things;
    }

    // Over the test's own pictures: the shipped ones.
    ScopedResourceFolder shippedResources_{VANTREL_APP_RESOURCES};
};

TEST_P(MenuLayoutTest, NothingOnAnyScreenOverlapsOrLeavesTheWindow) {
    ASSERT_GE(layer_->screenCount(), 9) << "five screens and the shipped groups";
    for (int32_t index = 0; index < layer_->screenCount(); ++index) {
        const VantrelMenuScreenData* screen = layer_->getScreenData(index);
        SCOPED_TRACE(screen->name);
        show(index);
        EXPECT_TRUE(thingsOf(*screen).apart(GetParam()));
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, MenuLayoutTest, ::testing::ValuesIn(kWindows), windowName);

// ---- The end-of-day summary ----------------------------------------------------------------------

// How the day ends: the nectar the bee carries home and the honey already in the hive (droplets,
// 100000 to a unit of honey), over the best score saved before the day (units; 0 for none). Garden
// A opens the next hive at 30: a new best here opens it, and a best saved of 30 or more has opened
// it already, so that no line under the title announces it.
struct DayEnd {
    const char* name;
    uint64_t nectar, honey;
    uint32_t bestBefore;
    bool newBest;  // the high-score bubble shows and the next hive opens
};
const DayEnd kDayEnds[] = {
    {"NewBestScore", 6345678, 100000, 0, true},   // about 64 units
    {"BelowTheBest", 6345678, 100000, 90, false},
    {"NothingLeftToPour", 0, 9900000, 0, true},   // 99 units in the hive before the night
};

// A shipped level played to its end menu in a window of the test's size.
class SummaryLayoutTest : public PlaySceneGLTest,
                          public ::testing::WithParamInterface<std::tuple<CGSize, DayEnd>> {
protected:
    // The game's kinds go with the stand-ins they were registered over.
    void TearDown() override {
        PlaySceneGLTest::TearDown();
        game::GameObjectKinds::unregisterKinds();
    }

    CGSize window() const { return std::get<0>(GetParam()); }
    const DayEnd& dayEnd() const { return std::get<1>(GetParam()); }

    // Every case starts from the row's progress alone: no scores or statistics left by an earlier
    // case or run, only the row's best score.
    void startFromTheRowsProgress() {
        ASSERT_TRUE(menutest::kPrivateHome) << "progress is deleted only in the test's own data folder";
        Levels* levels = Levels::sharedInstance();
        ASSERT_EQ(levels->getNextLevelId("garden_a"), "garden_b")
            << "the shared catalogue is the shipped one: no test of this process made it over another";
        levels->deleteScores();
        Stats::sharedInstance()->deleteStats();
        if (dayEnd().bestBefore > 0) {
            ASSERT_TRUE(levels->setScore(dayEnd().bestBefore, "garden_a"));
        }
    }

    // The day of garden A cut to a second, the bee flown home with the day's nectar and honey, and
    // the end menu slid in.
    void playToTheEndMenu() {
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        ASSERT_NO_FATAL_FAILURE(startFromTheRowsProgress());
        game::GameObjectKinds::registerKinds();
        ASSERT_NO_FATAL_FAILURE(resizeWindow(static_cast<int>(window().width), static_cast<int>(window().height)));
        director_->setOriginalWinSize(window());
        director_->setProjection(CCProjectionKind2D);
        Random::seed(11);
        VantrelGlobal::sharedInstance()->setNextLevelId("garden_a");
        layer_ = makeRef<PlaySceneUnderTest>();
        ASSERT_TRUE(layer_->init());
        scene_->addChild(layer_.get());
        bee()->setDroplets(dayEnd().nectar);
        bee()->setHiveDroplets(dayEnd().honey);
        layer_->level()->setLengthOfDay(1);
        for (int frame = 0; frame < 60 * 90 && !bee()->finalNectarTransferComplete(); ++frame) layer_->update(1.0f / 60);
        ASSERT_TRUE(bee()->finalNectarTransferComplete());
        ASSERT_NO_FATAL_FAILURE(runFrames(40));
        ASSERT_EQ(layer_->hud()->endGameMenuState(), Hud::kMenuOpen);
    }

    // The summary's bubbles, the end title, the end menu's buttons and the hive.
    ScreenThings summaryThings() {
        ScreenThings things;
        for (CCNode* node : childrenOf(layer_->messagesHolder())) {
            auto* bubble = dynamic_cast<GameMessage*>(node);
            if (bubble && bubble->visible()) things.add("bubble \"" + bubble->text() + "\"", bubble);
        }
        Hud* hud = layer_->hud();
        // The title and the line under it that announces the next hive are separate pictures:
        // fixed, so that neither takes in a bubble lying on it as a part of itself.
        CCSprite* hiveOpened = hud->endGameHiveUnlockedMessageHolder();
        CGRect title = CGRectZero;
        for (CCNode* child : childrenOf(hud->endGameMessageHolder())) {
            if (child != hiveOpened) title = unite(title, drawnBox(child));
        }
        things.add("the end title", title, CGRectZero, true);
        things.add("the line \"NEW HIVE OPENED!\"", drawnBox(hiveOpened), CGRectZero, true);
        for (CCNode* child : childrenOf(hud->endGameMenuHolder())) {
            if (!dynamic_cast<KSMenu*>(child)) continue;
            for (CCNode* item : childrenOf(child)) things.add(nameOf(item), item, true);
        }
        if (auto* hive = dynamic_cast<game::Hive*>(layer_->level()->hive())) {
            const CGRect box = unite(drawnBox(hive->bg()), drawnBox(hive->fg()));
            things.add("the hive", box, CGRectZero, true);
        }
        return things;
    }

    ScopedResourceFolder resources_{VANTREL_APP_RESOURCES};
};

TEST_P(SummaryLayoutTest, TheSummaryStandsClearOfItselfAndOfTheEndMenu) {
    ASSERT_NO_FATAL_FAILURE(playToTheEndMenu());
    bool highScoreShown = false;
    for (CCNode* node : childrenOf(layer_->messagesHolder())) {
        auto* bubble = dynamic_cast<GameMessage*>(node);
        highScoreShown = highScoreShown || (bubble && bubble->visible() && bubble->info() == GameMessage::kInfoNewHighScore);
    }
    EXPECT_EQ(highScoreShown, dayEnd().newBest);
    EXPECT_EQ(layer_->hud()->endGameHiveUnlockedMessageHolder()->children() != nullptr, dayEnd().newBest);
    EXPECT_TRUE(summaryThings().apart(window()));
}

INSTANTIATE_TEST_SUITE_P(Windows, SummaryLayoutTest, ::testing::Combine(::testing::ValuesIn(kWindows), ::testing::ValuesIn(kDayEnds)),
                         [](const ::testing::TestParamInfo<std::tuple<CGSize, DayEnd>>& info) {
                             const CGSize size = std::get<0>(info.param);
                             return std::to_string(static_cast<int>(size.width)) + "x" +
                                    std::to_string(static_cast<int>(size.height)) + std::get<1>(info.param).name;
                         });

}  // namespace
