// Nothing a player reads or clicks may lie on something else: on every menu screen (the level-group
// screens and the flight log above all) and on the end-of-day summary, the on-screen rectangles of
// the pictures, labels and buttons are collected, in a 4:3 and a 16:9 window, with the build's own
// pictures and fonts, and none may leave the window or cut into another, but for the pictures each
// screen declares layered on purpose.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
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

// Names what a sprite shows: a frame of the sprite sheet given, else a picture file of the
// resources folder; nothing for a sprite of neither, or any other node.
class PictureNames {
public:
    explicit PictureNames(const char* sheet) {
        std::string error;
        const std::optional<Value> frames =
            Value::fromFile(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(sheet), &error);
        EXPECT_TRUE(frames) << error;
        if (frames) frameNames_ = (*frames)["frames"].keys();
        for (const auto& file : std::filesystem::directory_iterator(VANTREL_APP_RESOURCES)) {
            if (file.path().extension() == ".png") fileNames_.push_back(file.path().filename().string());
        }
    }

    std::string of(const CCNode* node) const {
        if (const auto* sprite = dynamic_cast<const CCSprite*>(node)) {
            CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
            for (const std::string& name : frameNames_) {
                if (sprite->isFrameDisplayed(frames->spriteFrameByName(name).get())) return name;
            }
            for (const std::string& name : fileNames_) {
                const RefPtr<CCTexture2D> file = CCTextureCache::sharedTextureCache()->textureForKey(name);
                if (file && file.get() == sprite->texture()) return name;
            }
        }
        return "";
    }

private:
    std::vector<std::string> frameNames_, fileNames_;
};

// Stands for any text in the sets below.
const std::string kAnyText = "any text";

// The things of one screen: each picture that draws itself (with the pieces it carries, its
// children), each text and each button with its pictures, in window points. Holders that draw
// nothing of their own are opened. Nothing may leave the window, nor overlap anything else, unless
// the two belong to one of the sets given, which name pictures (or kAnyText); two texts never share
// room. The places a click reaches must stay apart too (a click then would pick one of two buttons);
// a button's margin may reach over a mere picture.
class ScreenThings {
public:
    ScreenThings(const PictureNames& names, std::vector<std::vector<std::string>> layered)
        : names_(names), layered_(std::move(layered)) {}

    // A button; the pictures it shows, added before it wherever they stand, join it.
    void addButton(CCMenuItem* item) {
        auto* button = dynamic_cast<KSMenuItem*>(item);
        CCNode* image = button ? button->normalImage() : nullptr;
        const size_t index = things_.size();
        add("button " + (image ? nameOf(image) : "at " + describe(picturesBox(item))), names_.of(image),
            picturesBox(item), reachBox(item), item);
        if (!button || things_.size() == index) return;
        for (size_t i = 0; i < index; ++i) {
            if (holds(button->normalImage(), things_[i].node) || holds(button->selectedImage(), things_[i].node)) {
                things_[i].part = index;
            }
        }
    }

    // What `node` shows: itself when it draws a picture or a text, else what it holds.
    void addShown(CCNode* node) {
        if (!node->visible()) return;
        auto* sprite = dynamic_cast<CCSprite*>(node);
        if (dynamic_cast<CCLabelBMFont*>(node)) {
            add(nameOf(node), kAnyText, drawnBox(node), CGRectZero, node);
        } else if (sprite && sprite->textureRect().size.width > 0) {
            add(nameOf(node), names_.of(node), drawnBox(node), CGRectZero, node);
        } else {
            for (CCNode* child : childrenOf(node)) addShown(child);
        }
    }

    // A thing the test names itself.
    void add(std::string name, CGRect shown) { add(std::move(name), "", shown, CGRectZero, nullptr); }

    // Every fault, each naming both things and their boxes; the window is (0, 0) to `window`.
    ::testing::AssertionResult apart(CGSize window) {
        std::ostringstream faults;
        for (const Thing& thing : things_) {
            if (!inside(thing.shown, CGRectMake(0, 0, window.width, window.height))) {
                faults << "\n" << thing.name << " " << describe(thing.shown) << " leaves the window";
            }
        }
        for (size_t i = 0; i < things_.size(); ++i) {
            for (size_t j = i + 1; j < things_.size(); ++j) {
                const Thing &a = things_[i], &b = things_[j];
                if (a.part == b.part) continue;
                if (!layered(a, b) && overlap(a.shown, b.shown)) {
                    faults << "\n"
                           << a.name << " " << describe(a.shown) << " overlaps " << b.name << " " << describe(b.shown);
                }
                if (overlap(a.reach, b.reach)) {
                    faults << "\na click at " << describe(a.reach) << " reaches " << a.name << " and, at "
                           << describe(b.reach) << ", " << b.name;
                }
            }
        }
        if (faults.str().empty()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << faults.str();
    }

private:
    struct Thing {
        std::string name;
        std::string picture;  // what the sets name it: its picture, kAnyText for a text, or nothing
        CGRect shown;         // what it draws
        CGRect reach;         // a button's click area, zero for anything else
        const CCNode* node;
        size_t part;  // the thing it is part of: a button for its pictures, else itself
    };

    void add(std::string name, std::string picture, CGRect shown, CGRect reach, const CCNode* node) {
        if (shown.size.width <= 0 && reach.size.width <= 0) return;
        things_.push_back({std::move(name), std::move(picture), shown, reach, node, things_.size()});
    }

    std::string nameOf(CCNode* node) const {
        if (const auto* label = dynamic_cast<const CCLabelBMFont*>(node)) return "\"" + label->string() + "\"";
        const std::string picture = names_.of(node);
        return picture.empty() ? "a picture at " + describe(drawnBox(node)) : picture;
    }

    // Whether `outer` is `inner` or holds it.
    static bool holds(const CCNode* outer, const CCNode* inner) {
        for (const CCNode* up = inner; outer && up; up = up->parent()) {
            if (up == outer) return true;
        }
        return false;
    }

    bool layered(const Thing& a, const Thing& b) const {
        if (a.picture.empty() || b.picture.empty() || (a.picture == kAnyText && b.picture == kAnyText)) return false;
        const auto names = [](const std::vector<std::string>& set, const std::string& picture) {
            return std::find(set.begin(), set.end(), picture) != set.end();
        };
        return std::any_of(layered_.begin(), layered_.end(), [&](const std::vector<std::string>& set) {
            return names(set, a.picture) && names(set, b.picture);
        });
    }

    const PictureNames& names_;
    const std::vector<std::vector<std::string>> layered_;
    std::vector<Thing> things_;
};

const CGSize kWindows[] = {{1024, 768}, {1920, 1080}};

std::string windowName(const ::testing::TestParamInfo<CGSize>& info) {
    return std::to_string(static_cast<int>(info.param.width)) + "x" + std::to_string(static_cast<int>(info.param.height));
}

// ---- The menu ----------------------------------------------------------------------------------

// What lies on what on purpose on the menu's screens.
const std::vector<std::vector<std::string>> kMenuLayering = {
    // A level's hive with the pieces round it: the glow of the level last played, the letter tab on
    // its head and the tabs of a new best and of a newly opened hive, tucked under its foot and
    // under the end of the score bar, which carries the score.
    {"menu_hive_inner.png", "menu_hive_selected.png", "menu_hive_a_title.png", "menu_hive_b_title.png",
     "menu_hive_c_title.png", "menu_highscore_tab.png", "menu_hive_open_tab.png"},
    {"menu_score_bg.png", "menu_highscore_tab.png", "menu_hive_open_tab.png", kAnyText},
    // The flight log: the numbers in their grid; the bee, its shadow and the new rank's star on the
    // emblem (of rank 10, as MenuLayoutTest saves it).
    {"stats_grid.png", kAnyText},
    {"rank_10.png", "rank_bee_1.png", "rank_bee_2.png", "rank_bee_3.png", "rank_star_glow.png"},
};

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
        ScreenThings things(names_, kMenuLayering);
        for (CCNode* child : childrenOf(layer_.get())) {
            if (!dynamic_cast<KSMenu*>(child)) continue;
            for (CCNode* item : childrenOf(child)) things.addButton(static_cast<CCMenuItem*>(item));
        }
        for (CCNode* child : childrenOf(screen.screenNode)) things.addShown(child);
        for (CCNode* child : childrenOf(screen.centreNode)) {
            if (child != screen.screenNode) things.addShown(child);
        }
        for (CCNode* child : childrenOf(screen.baseNode)) {
            if (!dynamic_cast<KSMenu*>(child)) continue;
            for (CCNode* item : childrenOf(child)) things.addButton(static_cast<CCMenuItem*>(item));
        }
        return things;
    }

    // Over the test's own pictures: the shipped ones.
    ScopedResourceFolder shippedResources_{VANTREL_APP_RESOURCES};
    const PictureNames names_{"menu.plist"};
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
        ScreenThings things(names_, {});
        for (CCNode* node : childrenOf(layer_->messagesHolder())) {
            auto* bubble = dynamic_cast<GameMessage*>(node);
            if (bubble && bubble->visible()) things.add("bubble \"" + bubble->text() + "\"", drawnBox(bubble));
        }
        Hud* hud = layer_->hud();
        // The title and the line under it that announces the next hive are separate pictures.
        CCSprite* hiveOpened = hud->endGameHiveUnlockedMessageHolder();
        CGRect title = CGRectZero;
        for (CCNode* child : childrenOf(hud->endGameMessageHolder())) {
            if (child != hiveOpened) title = unite(title, drawnBox(child));
        }
        things.add("the end title", title);
        things.add("the line \"NEW HIVE OPENED!\"", drawnBox(hiveOpened));
        for (CCNode* child : childrenOf(hud->endGameMenuHolder())) {
            if (!dynamic_cast<KSMenu*>(child)) continue;
            for (CCNode* item : childrenOf(child)) things.addButton(static_cast<CCMenuItem*>(item));
        }
        if (auto* hive = dynamic_cast<game::Hive*>(layer_->level()->hive())) {
            things.add("the hive", unite(drawnBox(hive->bg()), drawnBox(hive->fg())));
        }
        return things;
    }

    ScopedResourceFolder resources_{VANTREL_APP_RESOURCES};
    const PictureNames names_{"hud.plist"};
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
