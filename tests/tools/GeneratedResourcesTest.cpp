// The pictures, fonts and sounds the build generates, read back through the engine's own readers:
// every name the game and its level and menu data ask for is there, sized for the rig and the
// 1024 x 768 layout that place them, textures that repeat wrap without a seam, and sounds are clean
// 16-bit files whose loops meet themselves.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/OALAudioFile.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCBMFontConfiguration.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Value.h"
#include "platform/image/Image.h"
#include "support/HeadlessDirectorTest.h"
#include "support/TestSupport.h"

namespace {

bool isPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

// The level groups, each with a look of its own.
const std::vector<std::string> kGroups = {"meadow", "garden", "storm", "works"};

class GeneratedResourcesTest : public HeadlessDirectorTest {
protected:
    void TearDown() override {
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        ccFNTConfigClearCache();
        HeadlessDirectorTest::TearDown();
    }

    static std::string path(const std::string& name) { return std::string(VANTREL_GENERATED_RESOURCES) + "/" + name; }

    static Image picture(const std::string& name) {
        Image image;
        EXPECT_TRUE(image.initWithContentsOfFile(path(name), 4096)) << name;
        return image;
    }

    // The frames of a sheet by name, loaded through the frame cache; sizes in pixels.
    std::map<std::string, CGSize> frames(const std::string& sheet, const std::vector<std::string>& names) {
        CCSpriteFrameCache* cache = CCSpriteFrameCache::sharedSpriteFrameCache();
        cache->addSpriteFramesWithFile(sheet);
        const std::string png = sheet.substr(0, sheet.size() - 5) + "png";
        const Image texture = picture(png);
        EXPECT_TRUE(isPowerOfTwo(texture.width()) && isPowerOfTwo(texture.height())) << png;
        std::map<std::string, CGSize> sizes;
        for (const std::string& name : names) {
            const RefPtr<CCSpriteFrame> frame = cache->spriteFrameByName(name);
            if (!frame) {
                ADD_FAILURE() << sheet << " has no frame " << name;
                continue;
            }
            const CGRect rect = frame->rectInPixels();
            EXPECT_FALSE(frame->rotated()) << name;
            EXPECT_TRUE(rect.origin.x >= 0 && rect.origin.y >= 0 &&
                        rect.origin.x + rect.size.width <= texture.width() &&
                        rect.origin.y + rect.size.height <= texture.height())
                << name << " lies outside " << png;
            sizes[name] = rect.size;
        }
        return sizes;
    }

    ScopedResourceFolder useFolder_{VANTREL_GENERATED_RESOURCES};
};

TEST_F(GeneratedResourcesTest, LevelSheetsHoldTheirFrames) {
    std::map<std::string, std::vector<std::string>> sheets = {
        {"meadow_sky.plist",
         {"sky_sun.png", "sky_moon.png", "sky_star.png", "sky_sparkle.png", "sky_puff_1.png", "sky_puff_2.png",
          "sky_seed.png"}},
        {"front.plist", {"front_grass_tall.png", "front_fern.png", "front_leaves.png"}},
        {"effects.plist",
         {"effect_puff_1.png", "effect_puff_2.png", "effect_puff_3.png", "effect_puff_4.png", "effect_sparkle_1.png",
          "effect_sparkle_2.png", "effect_sparkle_3.png", "effect_sparkle_4.png", "effect_hit_1.png",
          "effect_hit_2.png", "effect_hit_3.png", "effect_hit_4.png"}},
    };
    // Every group's look draws the frames the shared level layouts place.
    for (const std::string& group : kGroups) {
        sheets[group + "_background.plist"] = {"bg_tree_round.png", "bg_tree_tall.png", "bg_bush.png",
                                               "bg_cottage.png", "bg_fence.png"};
        sheets[group + "_foreground.plist"] = {"fg_grass_1.png", "fg_grass_2.png", "fg_daisies.png",
                                               "fg_mushroom.png", "fg_stones.png", "fg_clover.png"};
    }
    for (const auto& [sheet, names] : sheets) {
        SCOPED_TRACE(sheet);
        EXPECT_EQ(frames(sheet, names).size(), names.size());
    }
}

// A property list of the hand-written data (levels, catalogue) as the game reads it.
Value sourceData(const std::string& name) {
    std::string error;
    std::optional<Value> value = Value::fromFile(std::string(VANTREL_SOURCE_RESOURCES) + "/" + name, &error);
    EXPECT_TRUE(value) << name << ": " << error;
    return value ? std::move(*value) : Value();
}

// The names of a generated sheet's frames.
std::set<std::string> frameNames(const std::string& sheet) {
    std::string error;
    const std::optional<Value> list =
        Value::fromFile(std::string(VANTREL_GENERATED_RESOURCES) + "/" + sheet, &error);
    if (!list) {
        ADD_FAILURE() << "the build makes no sheet " << sheet << ": " << error;
        return {};
    }
    const std::vector<std::string> names = (*list)["frames"].keys();
    return {names.begin(), names.end()};
}

// The pictures each level's data and each group's menu data name: its rings (the ground ring
// ending in the colour of the fill disc beneath it), its sheets, the sun and sky pictures in its
// sky sheets, every frame its geometry places, its ambience; the group's menu ground and title.
// Each group looks like itself: no two share a ring, a decoration sheet or a menu ground, and no
// group screen stands on the title's ground.
TEST_F(GeneratedResourcesTest, EveryPictureTheLevelAndMenuDataNameIsBuilt) {
    namespace fs = std::filesystem;
    const Value catalogue = sourceData("levels.plist");
    const std::set<std::string> menuFrames = frameNames("menu.plist");
    std::map<std::string, std::string> groupOfPicture;
    const auto ownedBy = [&groupOfPicture](const std::string& picture, const std::string& group) {
        const auto [owner, added] = groupOfPicture.emplace(picture, group);
        EXPECT_EQ(owner->second, group) << picture << " is shared by two groups";
    };
    ASSERT_FALSE(catalogue["level_group_order"].elements().empty());
    for (const Value& groupId : catalogue["level_group_order"].elements()) {
        const std::string group = groupId.stringValue();
        SCOPED_TRACE(group);
        const Value& menu = catalogue["menu_data"][group];
        EXPECT_NE(menu["background_image"].stringValue(), "menu_bg_title.png");
        ownedBy(menu["background_image"].stringValue(), group);
        const Image ground = picture(menu["background_image"].stringValue());
        EXPECT_EQ(ground.width(), 1024u);
        const std::string title = menu["title_image"].stringValue();
        EXPECT_TRUE(menuFrames.count(title)) << title;
        if (menuFrames.count(title)) {
            // Standing at y 565 of the 1024 x 768 layout, centred, clear of the window buttons.
            const CGSize size = frames("menu.plist", {title})[title];
            EXPECT_LE(565 + size.height, 768);
            EXPECT_LE(size.width, 1024 - 2 * 90);
        }

        for (const Value& entry : catalogue["levels"][group].elements()) {
            const std::string id = entry["id"].stringValue();
            SCOPED_TRACE(id);
            const Value info = sourceData(id + ".plist");
            for (const char* ring : {"ground_image", "bgnear_image", "bgnear_image_lowquality", "bgfar_image"}) {
                ownedBy(info[ring].stringValue(), group);
                const Image image = picture(info[ring].stringValue());
                EXPECT_TRUE(isPowerOfTwo(image.width()) && isPowerOfTwo(image.height())) << ring;
            }
            const Image ring = picture(info["ground_image"].stringValue());
            int fill[4] = {};
            ASSERT_EQ(std::sscanf(info["ground_fill_colour"].stringValue().c_str(), "{%d,%d,%d,%d}", &fill[0],
                                  &fill[1], &fill[2], &fill[3]), 4);
            if (ring.height() > 0) {
                const uint8_t* bottom = &ring.pixels()[(ring.height() - 1) * ring.width() * 4];
                for (int c = 0; c < 3; ++c) EXPECT_NEAR(bottom[c], fill[c], 2) << "channel " << c;
                EXPECT_EQ(bottom[3], 255);
            }

            std::set<std::string> skyFrames, allFrames;
            // The group's own sheets come first in their layers; objects' and front sheets are shared.
            for (const char* layer : {"foreground_texture_atlases", "background_texture_atlases",
                                      "sky_texture_atlases"}) {
                ownedBy(info[layer].at(0).stringValue(), group);
            }
            for (const char* layer : {"front_texture_atlases", "foreground_texture_atlases",
                                      "background_texture_atlases", "sky_texture_atlases"}) {
                for (const Value& sheet : info[layer].elements()) {
                    const std::set<std::string> names = frameNames(sheet.stringValue());
                    allFrames.insert(names.begin(), names.end());
                    if (std::string(layer) == "sky_texture_atlases") skyFrames.insert(names.begin(), names.end());
                    const std::string png = sheet.stringValue().substr(0, sheet.stringValue().size() - 5) + "png";
                    EXPECT_TRUE(fs::is_regular_file(path(png))) << png;
                }
            }
            EXPECT_FALSE(frameNames(info["effects_texture_atlas"].stringValue()).empty());
            EXPECT_TRUE(skyFrames.count(info["time_image"].stringValue())) << info["time_image"].stringValue();
            EXPECT_GT(info["sky_background_images"]["count"].intValue(), 0);
            for (const Value& image : info["sky_background_images"]["images"].elements()) {
                EXPECT_TRUE(skyFrames.count(image.stringValue())) << image.stringValue();
            }

            const Value geometry = sourceData(info["geometry_file"].stringValue());
            std::vector<const Value*> sprites;
            for (const char* layer : {"background_sprites", "foreground_sprites", "front_sprites"}) {
                for (const Value& sprite : geometry[layer].elements()) sprites.push_back(&sprite);
            }
            for (const Value& placed : geometry["static_geometry"].elements()) {
                for (const Value& sprite : placed["sprites"].elements()) sprites.push_back(&sprite);
            }
            EXPECT_FALSE(sprites.empty());
            for (const Value* sprite : sprites) {
                const std::string name = (*sprite)["image_name"].stringValue();
                if (name.empty() || name[0] == '_') continue;  // an entry the level skips
                EXPECT_TRUE(allFrames.count(name)) << name << " is in none of the level's sheets";
            }

            for (const char* sound : {"bg_audio_name", "bg_night_audio_name"}) {
                EXPECT_TRUE(fs::is_regular_file(path(info[sound].stringValue()))) << info[sound].stringValue();
            }
        }
    }
}

TEST_F(GeneratedResourcesTest, BeeFramesFitTheRigAnchors) {
    auto size = frames("vantrel.plist", {"vantrel_head.png", "vantrel_head_blink.png", "vantrel_body.png",
                                         "vantrel_antennae.png", "vantrel_wing.png", "small_bee_1.png",
                                         "small_bee_2.png", "small_bee_3.png"});
    ASSERT_EQ(size.size(), 8u);
    // The head is drawn centred over its 19-point collision circle, and blinking swaps frames in place.
    EXPECT_GE(size["vantrel_head.png"].width, 38);
    EXPECT_GE(size["vantrel_head.png"].height, 38);
    EXPECT_EQ(size["vantrel_head.png"], size["vantrel_head_blink.png"]);
    // The left antenna is the right one mirrored; its anchor x of 3 must mirror the right one's 16.
    EXPECT_EQ(size["vantrel_antennae.png"].width - 16, 3);
    // The body's pin (28, 9) and the wings' hinge (18, 3) lie on the pictures.
    EXPECT_GT(size["vantrel_body.png"].width, 28);
    EXPECT_GT(size["vantrel_body.png"].height, 9);
    EXPECT_GT(size["vantrel_wing.png"].width, 18);
    EXPECT_GT(size["vantrel_wing.png"].height, 3);
    // The wing-beat animation swaps frames on one sprite.
    EXPECT_EQ(size["small_bee_1.png"], size["small_bee_2.png"]);
    EXPECT_EQ(size["small_bee_1.png"], size["small_bee_3.png"]);
}

TEST_F(GeneratedResourcesTest, HudFramesFitTheScreenLayout) {
    const float W = 1024, H = 768;
    const std::vector<std::string> buttons = {"continue_button", "quit_button", "main_menu_button",
                                              "play_again_button"};
    const std::vector<std::string> titles = {"end_title_try_harder.png", "end_title_nice_work.png",
                                             "end_title_sweet.png", "end_title_busy_times.png",
                                             "end_title_beeeautiful.png"};
    std::vector<std::string> names = {"pause_button_alt.png", "pause_button_selected_alt.png",
                                      "position_indicator_alt.png", "game_menu_bg.png", "game_paused_title.png",
                                      "end_title_hive_opened.png"};
    for (const std::string& button : buttons) {
        names.push_back(button + ".png");
        names.push_back(button + "_selected.png");
    }
    names.insert(names.end(), titles.begin(), titles.end());
    auto size = frames("hud.plist", names);
    ASSERT_EQ(size.size(), 19u);

    // A selected form is shown in its normal form's place.
    for (const std::string& button : buttons) EXPECT_EQ(size[button + ".png"], size[button + "_selected.png"]);
    EXPECT_EQ(size["pause_button_alt.png"], size["pause_button_selected_alt.png"]);
    // The indicator turns round the pause button and shows from under it.
    EXPECT_GT(size["position_indicator_alt.png"].width, size["pause_button_alt.png"].width);
    // Pause menu: title at x 28, continue at W - 518, quit at W - 246, all at y 34 on the band.
    EXPECT_LE(28 + size["game_paused_title.png"].width, W - 518);
    EXPECT_LE(W - 518 + size["continue_button.png"].width, W - 246);
    EXPECT_LE(W - 246 + size["quit_button.png"].width, W);
    for (const char* name : {"game_paused_title.png", "continue_button.png", "quit_button.png"}) {
        EXPECT_LE(34 + size[name].height, size["game_menu_bg.png"].height) << name;
    }
    // End menu: play again at x 30, main menu at W - 258; the title at (196, 582) with the opened
    // hive line 266 points further right.
    EXPECT_LE(30 + size["play_again_button.png"].width, W - 258);
    EXPECT_LE(W - 258 + size["main_menu_button.png"].width, W);
    for (const std::string& title : titles) {
        EXPECT_LE(196 + size[title].width, W) << title;
        EXPECT_LE(582 + size[title].height, H) << title;
    }
    EXPECT_LE(196 + 266 + size["end_title_hive_opened.png"].width, W);
}

TEST_F(GeneratedResourcesTest, MenuPicturesFitTheScreenLayout) {
    const float W = 1024;
    std::vector<std::string> names = {"credits_title.png", "credits_content.png", "flight_log_title.png",
                                      "rank_title.png", "rank_new_title.png", "stats_grid.png",
                                      "flight_log_footer.png", "rank_star_glow.png", "rank_bee_1.png",
                                      "rank_bee_2.png", "rank_bee_3.png", "rank_bee_blink.png", "vantrel_title.png",
                                      "instructions_title.png", "how_to_play_spot_indicator.png",
                                      "menu_hive_a_title.png", "menu_hive_b_title.png", "menu_hive_c_title.png",
                                      "menu_highscore_tab.png", "menu_hive_open_tab.png", "menu_score_bg.png",
                                      "menu_hive_inner.png", "menu_hive_unlock_line.png", "menu_hive_honey.png",
                                      "menu_hive_outer.png", "menu_hive_selected.png", "menu_locked.png",
                                      "new_levels_title.png", "settings_title.png", "gamecontrols_title.png",
                                      "leaderboard_title.png", "gamecenter_unavailable.png", "controls_padlink.png",
                                      "controls_padlink_connected.png"};
    const std::vector<std::string> buttons = {"arrow_right_button", "menu_quit_button", "menu_fullscreen_button",
                                              "menu_next_button", "menu_play_button", "controls_joystick",
                                              "controls_tilt", "controls_dpad", "gamecenter_enabled",
                                              "gamecenter_disabled", "gamecenter_view_leaderboard",
                                              "gamecenter_view_achievements"};
    for (const std::string& button : buttons) {
        names.push_back(button + ".png");
        names.push_back(button + "_selected.png");
    }
    for (int page = 1; page <= 7; ++page) {
        names.push_back("how_to_play_text_" + std::to_string(page) + ".png");
        names.push_back("how_to_play_image_" + std::to_string(page) + ".png");
    }
    auto size = frames("menu.plist", names);
    ASSERT_EQ(size.size(), names.size());

    // Window buttons are centred 20 points from the left edge, and swap normal and selected in place.
    EXPECT_LE(size["menu_quit_button.png"].width, 40);
    EXPECT_EQ(size["menu_quit_button.png"], size["menu_fullscreen_button.png"]);
    for (const std::string& button : buttons) {
        EXPECT_EQ(size[button + ".png"], size[button + "_selected.png"]) << button;
    }
    // Settings: the three phone layouts (and the two score-service states) swap in one place.
    EXPECT_EQ(size["controls_joystick.png"], size["controls_tilt.png"]);
    EXPECT_EQ(size["controls_joystick.png"], size["controls_dpad.png"]);
    EXPECT_EQ(size["gamecenter_enabled.png"], size["gamecenter_disabled.png"]);
    // A level slot: play button at x 0, plaque and lock at 16, hive at 44 all share one centre; the
    // honey fills the hive's inside; the third slot (x 805) stays on screen.
    const float centre = size["menu_play_button.png"].width / 2;
    EXPECT_EQ(16 + size["menu_score_bg.png"].width / 2, centre);
    EXPECT_EQ(16 + size["menu_locked.png"].width / 2, centre);
    EXPECT_EQ(44 + size["menu_hive_inner.png"].width / 2, centre);
    EXPECT_EQ(size["menu_hive_a_title.png"].width / 2, centre);
    EXPECT_EQ(size["menu_hive_honey.png"], size["menu_hive_inner.png"]);
    EXPECT_LE(805 + 122 + size["menu_highscore_tab.png"].width, W);
    EXPECT_LE(805 + size["menu_play_button.png"].width, W);
    EXPECT_LE(187 + 136 + size["menu_hive_inner.png"].height, 187 + 300);  // under the label tab
    // Instructions: the picture (x 290) ends before the text strip (x 645), both below the title.
    for (int page = 1; page <= 7; ++page) {
        const std::string image = "how_to_play_image_" + std::to_string(page) + ".png";
        const std::string text = "how_to_play_text_" + std::to_string(page) + ".png";
        EXPECT_LE(290 + size[image].width, 645) << image;
        EXPECT_LE(204 + size[image].height, 565) << image;
        EXPECT_LE(334 + size[text].height, 565) << text;
    }
    // Flight log: the rank bee's blink covers the bee exactly; the grid stays on screen.
    EXPECT_EQ(size["rank_bee_blink.png"], size["rank_bee_1.png"]);
    EXPECT_LE(600 + size["stats_grid.png"].width, W);

    // The emblems (their own files) sit at (288, 197) under the rank title at y 488.
    for (int rank = 0; rank <= 10; ++rank) {
        const Image emblem = picture("rank_" + std::to_string(rank) + ".png");
        EXPECT_LE(197 + emblem.height(), 488u) << rank;
    }
    // The ground strips are curved round the menu world; their inner edge is solid soil.
    std::vector<std::string> grounds = {"menu_bg_title.png", "menu_bg_credits.png", "menu_bg_flight_log.png"};
    for (const std::string& group : kGroups) grounds.push_back("menu_bg_" + group + ".png");
    for (const std::string& ground : grounds) {
        const Image strip = picture(ground);
        EXPECT_TRUE(isPowerOfTwo(strip.width())) << ground;
        EXPECT_EQ(strip.pixels()[(strip.height() - 1) * strip.width() * 4 + 3], 255) << ground;
    }
    EXPECT_EQ(picture("Default.png").width(), 1024u);
}

// The transition's backdrop is scaled by window width / 1024; its bee beats its wings through
// three frames of one size and flies 40 points above the middle of a 768 point window.
TEST_F(GeneratedResourcesTest, TransitionPicturesFitTheScene) {
    const Image backdrop = picture("transition_bg.png");
    EXPECT_EQ(std::make_pair(backdrop.width(), backdrop.height()), std::make_pair(1024u, 768u));
    const Image bee = picture("transition_bee_1.png");
    for (const char* frame : {"transition_bee_2.png", "transition_bee_3.png"}) {
        const Image other = picture(frame);
        EXPECT_EQ(std::make_pair(other.width(), other.height()), std::make_pair(bee.width(), bee.height())) << frame;
    }
    EXPECT_LE(384 + 40 + bee.height(), 768u);
    EXPECT_LE(bee.width(), 512u);
}

TEST_F(GeneratedResourcesTest, PhoneControllerPicturesHaveTheirLayoutSizes) {
    // The controller's image server refuses to serve a listed picture that is missing.
    const std::map<std::string, std::pair<uint32_t, uint32_t>> sizes = {
        {"padlink_bg.png", {480, 320}},         {"padlink_arrow_left.png", {96, 96}},
        {"padlink_arrow_right.png", {96, 96}},  {"padlink_hive.png", {96, 96}},
        {"padlink_instructions.png", {262, 60}}, {"padlink_gamecontrols.png", {292, 60}},
        {"padlink_quitgame.png", {190, 60}},    {"padlink_keepplaying.png", {230, 60}},
        {"padlink_playagain.png", {200, 60}},   {"padlink_mainmenu.png", {205, 60}},
        {"padlink_pause.png", {80, 40}},
    };
    for (const auto& [name, size] : sizes) {
        const Image image = picture(name);
        EXPECT_EQ(std::make_pair(image.width(), image.height()), size) << name;
    }
}

TEST_F(GeneratedResourcesTest, FontsCoverTheMessageTexts) {
    const std::string characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 +-!'/.,:?;";
    for (const char* file : {"FuturaBeeLarge_osx.fnt", "FuturaBee_osx.fnt", "FuturaBee.fnt", "FuturaBeeStats.fnt",
                             "FuturaBeeStatsLarge.fnt", "FuturaBeeFacts.fnt"}) {
        SCOPED_TRACE(file);
        const RefPtr<CCBMFontConfiguration> font = CCBMFontConfiguration::configurationWithFNTFile(file);
        ASSERT_NE(font, nullptr);
        EXPECT_GT(font->commonHeight(), 0);
        const Image page = picture(font->atlasName());
        for (char c : characters) {
            const ccBMFontDef* def = font->fontDefForCharacter(static_cast<uint8_t>(c));
            ASSERT_NE(def, nullptr) << "no glyph for '" << c << "'";
            EXPECT_LE(def->rect.origin.x + def->rect.size.width, page.width()) << c;
            EXPECT_LE(def->rect.origin.y + def->rect.size.height, page.height()) << c;
            EXPECT_GT(def->xAdvance, 0) << c;
        }
    }
    // The longest caption lines stay within the bubbles' 240-point wrap width.
    const RefPtr<CCBMFontConfiguration> small = CCBMFontConfiguration::configurationWithFNTFile("FuturaBee_osx.fnt");
    ASSERT_NE(small, nullptr);
    for (const std::string line : {"ALL FLOWERS", "BEE BUDDIES", "TRAVELLED", "BEE CAREFUL!"}) {
        int width = 0;
        for (char c : line) width += small->fontDefForCharacter(static_cast<uint8_t>(c))->xAdvance;
        EXPECT_LE(width, 240) << line;
    }
}

// Mean absolute difference between two columns of a picture, over all four channels.
double columnDifference(const Image& image, uint32_t a, uint32_t b) {
    const std::vector<uint8_t>& pixels = image.pixels();
    double sum = 0;
    for (uint32_t y = 0; y < image.height(); ++y) {
        for (int c = 0; c < 4; ++c) {
            sum += std::abs(pixels[(y * image.width() + a) * 4 + c] - pixels[(y * image.width() + b) * 4 + c]);
        }
    }
    return sum / (image.height() * 4.0);
}

TEST_F(GeneratedResourcesTest, RingTexturesWrapWithoutASeam) {
    std::vector<std::string> rings = {"vantrel_trail.png"};
    for (const std::string& group : kGroups) {
        for (const char* ring : {"ground", "near", "near_low", "far"}) rings.push_back(group + "_ring_" + ring + ".png");
    }
    for (const std::string& name : rings) {
        SCOPED_TRACE(name);
        const Image ring = picture(name);
        ASSERT_GT(ring.width(), 2u);
        EXPECT_TRUE(isPowerOfTwo(ring.width()) && isPowerOfTwo(ring.height()));
        double largestStep = 0;
        for (uint32_t x = 1; x < ring.width(); ++x) {
            largestStep = std::max(largestStep, columnDifference(ring, x - 1, x));
        }
        EXPECT_LE(columnDifference(ring, ring.width() - 1, 0), largestStep);
    }
}

TEST_F(GeneratedResourcesTest, SoundsAreCleanAndLoopsMeetThemselves) {
    struct Sound {
        const char* name;
        uint32_t channels;
        double loopSeconds;  // a loop's length (0: a one-shot); its rhythm and modulations fit it whole
        bool seamChecked;    // the MP3s carry the encoder's padding, so their seam is not checked
    };
    const Sound sounds[] = {
        {"interface.wav", 1, 0, false},         {"clock_tick.wav", 1, 0, false},
        {"sparkle_big.wav", 1, 0, false},       {"bee_buzz_hit_1.wav", 1, 0, false},
        {"bee_buzz_loop_plain.wav", 1, 0.5, true}, {"bee_wind_loop.wav", 1, 2, true},
        {"bee_suck_loop_1.wav", 1, 1, true},    {"bee_drain_loop_2.wav", 1, 1, true},
        {"ambience_day.wav", 1, 8, true},       {"ambience_night.wav", 1, 8, true},
        {"ambience_rain.wav", 1, 8, true},      {"ambience_works.wav", 1, 8, true},
        {"Vantrel.mp3", 2, 40, false},          {"VantrelLite.mp3", 2, 40, false},
    };
    for (const Sound& sound : sounds) {
        SCOPED_TRACE(sound.name);
        const RefPtr<OALAudioFile> file = OALAudioFile::fileWithUrl("file://" + path(sound.name), false);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->streamDescription().channelsPerFrame, sound.channels);
        EXPECT_EQ(file->streamDescription().sampleRate, 44100);
        uint32_t bytes = 0;
        const std::unique_ptr<uint8_t[]> data = file->audioDataWithStartFrame(0, -1, &bytes);
        ASSERT_NE(data, nullptr);
        const auto* samples = reinterpret_cast<const int16_t*>(data.get());
        const size_t count = bytes / 2;
        ASSERT_GT(count, 1000u);
        int peak = 0;
        int largestStep = 0;
        for (size_t i = 0; i < count; ++i) {
            peak = std::max(peak, std::abs(int{samples[i]}));
            if (i >= sound.channels) {
                largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - sound.channels]));
            }
        }
        EXPECT_LT(peak, 32767) << "clipped";
        EXPECT_GT(peak, 3000) << "nearly silent";
        if (sound.loopSeconds > 0) {
            // The encoder may add up to a few milliseconds of padding.
            EXPECT_NEAR(count / sound.channels / 44100.0, sound.loopSeconds, 0.06);
        }
        if (sound.seamChecked) {
            // Going round, the step from the last sample to the first is no bigger than any step
            // inside the sound: no click at the seam.
            EXPECT_LE(std::abs(samples[0] - samples[count - 1]), largestStep);
        }
    }
}

}  // namespace
