#pragma once

// What the level-screen and flight-log tests share: a menu sheet that also holds the hive, button,
// lock and flight-log frames (flat colours, so that pixels tell them apart), the build's fonts and
// rank emblems, and a running menu over a catalogue, scores and statistics of the test's own.

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/menu/VantrelMenuLayer.h"
#include "shell/VantrelGlobal.h"
#include "engine/core/CCScene.h"
#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/Stats.h"
#include "support/ValueBuilders.h"
#include "tests/app/menu/MenuTestSupport.h"

namespace menutest {

inline constexpr ccColor3B kPlayButtonColour = {40, 200, 60};
inline constexpr ccColor3B kLockColour = {90, 90, 200};
inline constexpr ccColor3B kScoreBackgroundColour = {230, 150, 20};

inline std::vector<Frame> progressFrames() {
    return {
        {"menu_hive_a_title.png", 120, 40, {201, 1, 1}},    {"menu_hive_b_title.png", 120, 40, {202, 2, 2}},
        {"menu_hive_c_title.png", 120, 40, {203, 3, 3}},    {"menu_highscore_tab.png", 60, 40, {250, 250, 0}},
        {"menu_hive_open_tab.png", 60, 40, {0, 250, 250}},  {"menu_score_bg.png", 168, 50, kScoreBackgroundColour},
        {"menu_hive_inner.png", 112, 150, {120, 70, 30}},   {"menu_hive_unlock_line.png", 100, 4, {255, 0, 255}},
        {"menu_hive_honey.png", 112, 150, {255, 190, 0}},   {"menu_hive_outer.png", 120, 158, {60, 40, 20}},
        {"menu_hive_selected.png", 140, 180, {255, 255, 200}},
        {"menu_play_button.png", 200, 60, kPlayButtonColour},
        {"menu_play_button_selected.png", 200, 60, {20, 100, 30}},
        {"menu_locked.png", 168, 50, kLockColour},           {"new_levels_title.png", 200, 30, {9, 9, 9}},
        {"group_title.png", 240, 60, {11, 11, 11}},          {"flight_log_title.png", 200, 40, {12, 12, 12}},
        {"rank_title.png", 200, 40, {13, 13, 13}},          {"rank_new_title.png", 200, 40, {14, 14, 14}},
        {"stats_grid.png", 400, 300, {15, 15, 15}},         {"flight_log_footer.png", 400, 30, {16, 16, 16}},
        {"rank_star_glow.png", 30, 30, {255, 255, 255}},    {"rank_bee_1.png", 50, 40, {17, 17, 17}},
        {"rank_bee_2.png", 50, 40, {18, 18, 18}},           {"rank_bee_3.png", 50, 40, {19, 19, 19}},
        {"rank_bee_blink.png", 50, 40, {20, 20, 20}},
    };
}

// A level dictionary of the catalogue.
inline Value catalogueLevel(const std::string& id, uint32_t reference = 0, uint32_t unlock = 0, bool available = true) {
    return dict({{"id", id},
                 {"available", available},
                 {"use_reference_score", reference != 0},
                 {"reference_score", static_cast<int64_t>(reference)},
                 {"unlock_next_level_score", static_cast<int64_t>(unlock)}});
}

// A catalogue of available groups in the given order, each with its level dictionaries.
inline Value catalogue(const std::vector<std::pair<std::string, std::vector<Value>>>& groups) {
    Value order = Value::array(), menu = Value::dictionary(), levels = Value::dictionary();
    for (const auto& [id, groupLevels] : groups) {
        order.append(id);
        menu.set(id, dict({{"name", id},
                           {"available", true},
                           {"title_image", "group_title.png"},
                           {"background_gradient_top", "{10, 20, 30}"},
                           {"background_gradient_bottom", "{1, 2, 3}"}}));
        Value list = Value::array();
        for (const Value& level : groupLevels) list.append(level);
        levels.set(id, list);
    }
    return dict({{"level_group_order", order}, {"menu_data", menu}, {"levels", levels}});
}

class MenuProgressTest : public MenuWindowTest {
protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        writeMenuSheet(resources_, progressFrames());
        writeTerrain(resources_);
        namespace fs = std::filesystem;
        std::vector<std::string> files = {"FuturaBee.fnt",      "FuturaBee.png",      "FuturaBeeStats.fnt",
                                          "FuturaBeeStats.png", "FuturaBeeStatsLarge.fnt", "FuturaBeeStatsLarge.png"};
        for (int rank = 0; rank <= 10; ++rank) files.push_back(stringWithFormat("rank_%d.png", rank));
        for (const std::string& file : files) {
            fs::copy_file(fs::path(VANTREL_APP_RESOURCES) / file, resources_.file(file));
        }
    }

    void TearDown() override {
        scene_.reset();
        layer_.reset();
        MenuWindowTest::TearDown();
        VantrelGlobal::sharedInstance()->startGame({});
        VantrelGlobal::sharedInstance()->setNextLevelId({});
    }

    // The progress over `catalogue`, before the menu opens: scores and statistics can be set.
    void makeProgress(const Value& catalogue) {
        levels_ = std::make_unique<Levels>(resources_.write("levels.plist", catalogue.toXML()), data_.path(), nullptr,
                                           [] { return false; });
        stats_ = std::make_unique<Stats>(data_.path());
        rank_ = std::make_unique<Rank>(*levels_, *stats_, nullptr, [] { return false; });
    }

    // A running menu over the progress.
    void openMenu() {
        layer_ = makeRef<VantrelMenuLayer>();
        ASSERT_TRUE(layer_->initWithProgress(levels_.get(), stats_.get(), rank_.get()));
        scene_ = CCScene::node();
        scene_->addChild(layer_.get());
        director_->runWithScene(scene_);
        ASSERT_EQ(director_->runFrames(1), 1u);
    }

    // Frames of 1/60 s until the running change arrives, then `extra` more (the camera settles).
    void settle(int extra = 0) {
        for (int frames = 0; layer_->isTransitioning() && frames < 1000; ++frames) layer_->update(1.0f / 60);
        for (int i = 0; i < extra; ++i) layer_->update(1.0f / 60);
    }

    TemporaryFolder data_;
    std::unique_ptr<Levels> levels_;
    std::unique_ptr<Stats> stats_;
    std::unique_ptr<Rank> rank_;
    RefPtr<VantrelMenuLayer> layer_;
    RefPtr<CCScene> scene_;
};

}  // namespace menutest
