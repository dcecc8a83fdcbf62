#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/render/CCMenuItemLabel.h"

// A label item on a CCLabelAtlas: text drawn from a character map of equal cells.
//
// Engine thread only.
class CCMenuItemAtlasFont : public CCMenuItemLabel {
public:
    // Items from initWithString; the first one has no callback.
    static RefPtr<CCMenuItemAtlasFont> itemWithString(std::string_view text, const std::string& charMapFile,
                                                      int32_t itemWidth, int32_t itemHeight, char startCharMap);
    static RefPtr<CCMenuItemAtlasFont> itemWithString(std::string_view text, const std::string& charMapFile,
                                                      int32_t itemWidth, int32_t itemHeight, char startCharMap,
                                                      Object* target, SEL_MenuHandler selector);
    static RefPtr<CCMenuItemAtlasFont> itemWithString(std::string_view text, const std::string& charMapFile,
                                                      int32_t itemWidth, int32_t itemHeight, char startCharMap,
                                                      CCMenuItemBlock block);

    // `target` is not retained (see CCMenuItem).
    bool initWithString(std::string_view text, const std::string& charMapFile, int32_t itemWidth,
                        int32_t itemHeight, char startCharMap, Object* target, SEL_MenuHandler selector);
    // Cell size in points; the first cell shows the character `startCharMap` (a byte, 0..255).
    // False when the character map cannot be loaded; a negative cell size throws NamedException
    // "NSInvalidArgumentException".
    bool initWithString(std::string_view text, const std::string& charMapFile, int32_t itemWidth,
                        int32_t itemHeight, char startCharMap, CCMenuItemBlock block);
};
