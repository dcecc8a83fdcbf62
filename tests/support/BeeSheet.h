#pragma once

// The bee's sheet and trail for tests: each part of the bee a solid colour, so that drawing tests
// can tell the parts apart.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/support/CCFileUtils.h"
#include "platform/image/Image.h"

// Frames of the bee's sheet, pixels of "vantrel.png" (256 x 64): each part a solid colour.
struct BeeFrame {
    const char* name;
    int x, y, width, height;
    uint8_t r, g, b;
};
inline constexpr BeeFrame kBeeFrames[] = {
    {"vantrel_head.png", 0, 0, 40, 40, 250, 200, 0},
    {"vantrel_head_blink.png", 40, 0, 40, 40, 250, 120, 0},
    {"vantrel_body.png", 80, 0, 36, 18, 120, 60, 0},
    {"vantrel_antennae.png", 120, 0, 20, 8, 0, 200, 0},
    {"vantrel_wing.png", 144, 0, 24, 14, 200, 230, 255},
    {"small_bee_1.png", 176, 0, 12, 12, 250, 210, 0},
    {"small_bee_2.png", 192, 0, 12, 12, 240, 200, 0},
    {"small_bee_3.png", 208, 0, 12, 12, 230, 190, 0},
};

// Writes "vantrel.png", "vantrel.plist" and "vantrel_trail.png" into the folder; false when a
// file cannot be written.
inline bool writeBeeSheet(const std::string& folder) {
    std::vector<uint8_t> pixels(256 * 64 * 4, 0);
    std::string frames;
    for (const BeeFrame& f : kBeeFrames) {
        for (int y = f.y; y < f.y + f.height; ++y) {
            for (int x = f.x; x < f.x + f.width; ++x) {
                uint8_t* p = &pixels[(static_cast<size_t>(y) * 256 + x) * 4];
                p[0] = f.r, p[1] = f.g, p[2] = f.b, p[3] = 255;
            }
        }
        frames += "<key>" + std::string(f.name) + "</key><dict><key>frame</key><string>{{" + std::to_string(f.x) +
                  "," + std::to_string(f.y) + "},{" + std::to_string(f.width) + "," + std::to_string(f.height) +
                  "}}</string><key>offset</key><string>{0,0}</string><key>rotated</key><false/>"
                  "<key>sourceSize</key><string>{" +
                  std::to_string(f.width) + "," + std::to_string(f.height) + "}</string></dict>";
    }
    if (!Image(256, 64, true, pixels).writePNG(folder + "/vantrel.png") ||
        !Image(8, 8, true, std::vector<uint8_t>(8 * 8 * 4, 255)).writePNG(folder + "/vantrel_trail.png")) {
        return false;
    }
    std::ofstream plist(folder + "/vantrel.plist");
    plist << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>frames</key><dict>"
          << frames
          << "</dict><key>metadata</key><dict><key>format</key><integer>2</integer>"
             "<key>textureFileName</key><string>vantrel.png</string></dict></dict></plist>";
    plist.close();
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    return static_cast<bool>(plist);
}
