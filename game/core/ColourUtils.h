#pragma once

#include <string_view>

#include "engine/core/ccTypes.h"

// Colour strings of the level data: "{r,g,b}" or "{r,g,b,a}", numbers separated by commas, white
// space allowed before each token and after the closing brace, nothing else after it. The byte
// forms clamp each component to 0..255 (a fraction below 1 reads 0), the float form to 0..1.
// A component that is missing reads 0 (alpha 255 or 1). Text that does not parse, or holds
// "nan" or "inf", gives black: (0, 0, 0), opaque in the four-component forms.
class ColourUtils {
public:
    static ccColor3B ccColor3BFromString(std::string_view text);
    static ccColor4B ccColor4BFromString(std::string_view text);
    static ccColor4F ccColor4FFromString(std::string_view text);
};
