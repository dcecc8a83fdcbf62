#pragma once

// What the menu tests share: a private home for the program's files and a silent sound device
// (set before any test runs, as the shared objects read them when first made), a window of the
// menu's design size, a generated menu sheet of flat-coloured frames and a level catalogue.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace menutest {

inline const bool kPrivateHome = [] {
    char folder[] = "/tmp/vantrel-menu-test-XXXXXX";
    if (!mkdtemp(folder)) return false;
    const std::string home = folder;
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    return true;
}();

struct Frame {
    std::string name;
    int width, height;
    ccColor3B colour;
};

// The frames the menu names, each a flat colour; the sheet is one row of them.
inline std::vector<Frame> menuFrames() {
    std::vector<Frame> frames = {
        {"arrow_right_button.png", 40, 60, {200, 0, 0}},       {"arrow_right_button_selected.png", 40, 60, {100, 0, 0}},
        {"menu_quit_button.png", 30, 30, {0, 200, 0}},         {"menu_quit_button_selected.png", 30, 30, {0, 100, 0}},
        {"menu_fullscreen_button.png", 30, 30, {0, 0, 200}},   {"menu_fullscreen_button_selected.png", 30, 30, {0, 0, 100}},
        {"credits_title.png", 80, 40, {10, 10, 10}},           {"credits_content.png", 200, 100, {20, 20, 20}},
        {"vantrel_title.png", 300, 150, {250, 250, 250}},      {"instructions_title.png", 80, 30, {30, 30, 30}},
        {"how_to_play_spot_indicator.png", 10, 10, {255, 255, 255}},
        {"menu_next_button.png", 30, 30, {0, 120, 120}},       {"menu_next_button_selected.png", 30, 30, {0, 60, 60}},
    };
    // The settings screen's.
    const auto add = [&frames](const std::string& name, int width, int height, uint8_t shade, bool selected) {
        frames.push_back({name + ".png", width, height, {shade, shade, 0}});
        if (selected) frames.push_back({name + "_selected.png", width, height, {shade, 0, shade}});
    };
    add("settings_title", 80, 30, 40, false);
    add("gamecontrols_title", 80, 30, 50, false);
    add("leaderboard_title", 80, 30, 60, false);
    add("gamecenter_unavailable", 60, 60, 70, false);
    add("controls_padlink", 100, 40, 80, false);
    add("controls_padlink_connected", 100, 40, 90, false);
    add("controls_joystick", 60, 60, 100, true);
    add("controls_tilt", 60, 60, 110, true);
    add("controls_dpad", 60, 60, 120, true);
    add("gamecenter_enabled", 60, 60, 130, true);
    add("gamecenter_disabled", 60, 60, 140, true);
    add("gamecenter_view_leaderboard", 60, 30, 150, true);
    add("gamecenter_view_achievements", 60, 30, 160, true);
    for (int page = 1; page <= 7; ++page) {
        const uint8_t shade = static_cast<uint8_t>(page * 30);
        frames.push_back({stringWithFormat("how_to_play_text_%d.png", page), 60, 40, {shade, 0, 100}});
        frames.push_back({stringWithFormat("how_to_play_image_%d.png", page), 80, 60, {0, shade, 100}});
    }
    return frames;
}

// Writes "menu.plist" and "menu.png" into the folder, with the `extra` frames after the menu's.
inline void writeMenuSheet(const TemporaryFolder& folder, const std::vector<Frame>& extra = {}) {
    std::vector<Frame> frames = menuFrames();
    frames.insert(frames.end(), extra.begin(), extra.end());
    int width = 0, height = 0;
    for (const Frame& frame : frames) {
        width += frame.width;
        height = std::max(height, frame.height);
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
    Value frameDictionary = Value::dictionary();
    int x = 0;
    for (const Frame& frame : frames) {
        for (int row = 0; row < frame.height; ++row) {
            for (int column = x; column < x + frame.width; ++column) {
                uint8_t* p = &pixels[(static_cast<size_t>(row) * width + column) * 4];
                p[0] = frame.colour.r, p[1] = frame.colour.g, p[2] = frame.colour.b, p[3] = 255;
            }
        }
        Value entry = Value::dictionary();
        entry.set("frame", stringWithFormat("{{%d,0},{%d,%d}}", x, frame.width, frame.height));
        entry.set("offset", "{0,0}");
        entry.set("rotated", false);
        entry.set("sourceSize", stringWithFormat("{%d,%d}", frame.width, frame.height));
        frameDictionary.set(frame.name, entry);
        x += frame.width;
    }
    Value metadata = Value::dictionary();
    metadata.set("format", 2);
    metadata.set("textureFileName", "menu.png");
    Value sheet = Value::dictionary();
    sheet.set("frames", frameDictionary);
    sheet.set("metadata", metadata);
    folder.write("menu.plist", sheet.toXML());
    Image(static_cast<uint32_t>(width), static_cast<uint32_t>(height), true, std::move(pixels))
        .writePNG(folder.file("menu.png"));
}

// The fixed screens' ground pictures, flat brown strips 64 x 32.
inline void writeTerrain(const TemporaryFolder& folder) {
    for (const char* name : {"menu_bg_credits.png", "menu_bg_title.png", "menu_bg_flight_log.png"}) {
        std::vector<uint8_t> pixels(64 * 32 * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] = 120, pixels[i + 1] = 80, pixels[i + 2] = 40, pixels[i + 3] = 255;
        Image(64, 32, true, std::move(pixels)).writePNG(folder.file(name));
    }
}

// A catalogue of `groups` available groups "group1".., each with one level "<group>_a", and the
// colours {10 g, 20 g, 30 g} on top and {g, g, g} at the bottom; returns its path.
inline std::string writeCatalogue(const TemporaryFolder& folder, int groups) {
    Value order = Value::array();
    Value menu = Value::dictionary();
    Value levels = Value::dictionary();
    for (int g = 1; g <= groups; ++g) {
        const std::string id = stringWithFormat("group%d", g);
        order.append(id);
        Value data = Value::dictionary();
        data.set("name", id);
        data.set("available", true);
        data.set("background_gradient_top", stringWithFormat("{%d, %d, %d}", 10 * g, 20 * g, 30 * g));
        data.set("background_gradient_bottom", stringWithFormat("{%d, %d, %d}", g, g, g));
        menu.set(id, data);
        Value level = Value::dictionary();
        level.set("id", id + "_a");
        level.set("available", true);
        Value list = Value::array();
        list.append(level);
        levels.set(id, list);
    }
    Value catalogue = Value::dictionary();
    catalogue.set("level_group_order", order);
    catalogue.set("menu_data", menu);
    catalogue.set("levels", levels);
    return folder.write("levels.plist", catalogue.toXML());
}

// The real director in a hidden window of the menu's design size (unless a test asks for
// another), 1/64 s per frame, resources from a folder of the test's own.
class MenuWindowTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    virtual CGSize windowSize() const { return CGSizeMake(kWidth, kHeight); }

    void SetUp() override {
        ASSERT_TRUE(kPrivateHome);
        director_ = makeRef<FixedClockDirector>();
        CCDirector::setSharedDirector(director_);
        const CGSize size = windowSize();
        view_ = windowOrStop(CCGLView::viewWithFrame(CGRectMake(0, 0, size.width, size.height), "MenuTest", true));
        director_->setView(view_);
        director_->setProjection(CCProjectionKind2D);
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }

    void TearDown() override {
        if (director_) director_->end();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        CCTextureCache::purgeSharedTextureCache();
        CCDirector::setSharedDirector(nullptr);
        view_.reset();
        director_.reset();
        kmGLFreeStacks();
    }

    TemporaryFolder resources_;
    ScopedResourceFolder resourceFolder_{resources_.path()};
    RefPtr<FixedClockDirector> director_;
    RefPtr<CCGLView> view_;
};

}  // namespace menutest
