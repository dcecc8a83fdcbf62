#pragma once

// Small stand-ins for the game's generated art, written into a test's resource folder: bitmap
// fonts of solid glyph cells and sprite sheets of solid-colour frames.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/ccTypes.h"
#include "platform/foundation/Value.h"
#include "platform/image/Image.h"
#include "support/TestSupport.h"

// A text ".fnt" with a page "<name>.png": every printable ASCII character is a cell of
// `cellWidth` x `cellHeight` pixels (advance = width, line height = height) of `colour`; the
// blank has no pixels.
inline void writeCellFont(const TemporaryFolder& folder, const std::string& name, int cellWidth, int cellHeight,
                          ccColor3B colour = {255, 255, 255}) {
    const int columns = 16, rows = 6;
    const int width = columns * cellWidth, height = rows * cellHeight;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
    char line[256];
    std::snprintf(line, sizeof(line), "common lineHeight=%d base=%d scaleW=%d scaleH=%d pages=1\npage id=0 file=\"%s.png\"\n",
                  cellHeight, cellHeight, width, height, name.c_str());
    std::string fnt = line;
    for (int c = 32; c < 127; ++c) {
        const int x = (c - 32) % columns * cellWidth, y = (c - 32) / columns * cellHeight;
        const int w = c == ' ' ? 0 : cellWidth, h = c == ' ' ? 0 : cellHeight;
        std::snprintf(line, sizeof(line), "char id=%d x=%d y=%d width=%d height=%d xoffset=0 yoffset=0 xadvance=%d\n",
                      c, x, y, w, h, cellWidth);
        fnt += line;
        for (int row = 0; row < h; ++row) {
            for (int column = 0; column < w; ++column) {
                uint8_t* p = &pixels[((static_cast<size_t>(y) + row) * width + x + column) * 4];
                p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 255;
            }
        }
    }
    folder.write(name + ".fnt", fnt);
    ASSERT_TRUE(Image(width, height, true, std::move(pixels)).writePNG(folder.file(name + ".png")));
}

struct SheetFrame {
    std::string name;
    int width, height;
    ccColor3B colour;
};

// A sprite sheet "<name>.plist" over "<name>.png" with the frames side by side.
inline void writeSpriteSheet(const TemporaryFolder& folder, const std::string& name,
                             const std::vector<SheetFrame>& frames) {
    int width = 0, height = 1;
    for (const SheetFrame& frame : frames) width += frame.width, height = std::max(height, frame.height);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
    Value entries = Value::dictionary();
    int x = 0;
    char text[128];
    for (const SheetFrame& frame : frames) {
        for (int row = 0; row < frame.height; ++row) {
            for (int column = 0; column < frame.width; ++column) {
                uint8_t* p = &pixels[(static_cast<size_t>(row) * width + x + column) * 4];
                p[0] = frame.colour.r, p[1] = frame.colour.g, p[2] = frame.colour.b, p[3] = 255;
            }
        }
        Value entry = Value::dictionary();
        std::snprintf(text, sizeof(text), "{{%d,0},{%d,%d}}", x, frame.width, frame.height);
        entry.set("frame", text);
        entry.set("offset", "{0,0}");
        std::snprintf(text, sizeof(text), "{%d,%d}", frame.width, frame.height);
        entry.set("sourceSize", text);
        entries.set(frame.name, entry);
        x += frame.width;
    }
    Value metadata = Value::dictionary();
    metadata.set("format", 1);
    metadata.set("textureFileName", name + ".png");
    Value root = Value::dictionary();
    root.set("frames", entries);
    root.set("metadata", metadata);
    folder.write(name + ".plist", root.toXML());
    ASSERT_TRUE(Image(width, height, true, std::move(pixels)).writePNG(folder.file(name + ".png")));
}

// The HUD's sheet "hud.plist" over "hud.png": every frame the HUD needs, in solid colours (those
// a test looks for named).
namespace hudSheet {
inline constexpr ccColor3B kPause{220, 30, 30}, kBackground{40, 90, 160}, kMainMenu{30, 200, 60},
    kTitle{230, 200, 20};

inline std::vector<SheetFrame> frames() {
    return {{"pause_button_alt.png", 40, 40, kPause},
            {"pause_button_selected_alt.png", 40, 40, {120, 10, 10}},
            {"position_indicator_alt.png", 8, 30, {10, 10, 200}},
            {"game_menu_bg.png", 100, 160, kBackground},
            {"game_paused_title.png", 200, 40, {250, 250, 250}},
            {"continue_button.png", 120, 50, {20, 180, 20}},
            {"continue_button_selected.png", 120, 50, {10, 90, 10}},
            {"quit_button.png", 120, 50, {180, 20, 20}},
            {"quit_button_selected.png", 120, 50, {90, 10, 10}},
            {"main_menu_button.png", 200, 60, kMainMenu},
            {"main_menu_button_selected.png", 200, 60, {15, 100, 30}},
            {"play_again_button.png", 200, 60, {200, 60, 30}},
            {"play_again_button_selected.png", 200, 60, {100, 30, 15}},
            {"end_title_try_harder.png", 300, 50, {100, 100, 100}},
            {"end_title_nice_work.png", 300, 50, {110, 100, 100}},
            {"end_title_sweet.png", 300, 50, {120, 100, 100}},
            {"end_title_busy_times.png", 300, 50, {130, 100, 100}},
            {"end_title_beeeautiful.png", 300, 50, kTitle},
            {"end_title_hive_opened.png", 200, 20, {140, 100, 100}}};
}

inline void write(const TemporaryFolder& folder) { writeSpriteSheet(folder, "hud", frames()); }
}  // namespace hudSheet
