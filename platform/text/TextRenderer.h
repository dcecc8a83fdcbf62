#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Geometry.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// Sets UTF-8 text in one font at one size and rasterises it into an 8-bit coverage bitmap.
//
// Fonts are found by family name through fontconfig, or by the file name of a TrueType font. A font
// that cannot be found is a failure, never a substitute. Sizes are in pixels per em (points at 72
// dots per inch); layout positions are in pixels, y growing downwards.
//
// Lines end at line feeds (and carriage returns) and, given a width, where the line break mode
// says: 0 wraps at word boundaries (a word wider than the line is split between characters),
// 1 between characters, any other mode not at all. Spaces at the end of a wrapped line hang
// outside its width.
//
// Each renderer owns its own FreeType instance, so renderers may be used on different threads.
class TextRenderer {
public:
    // One glyph placed on a line.
    struct Glyph {
        uint32_t index = 0;  // glyph index in the font
        double x = 0;        // pen position from the line's left edge, pixels
    };
    struct Line {
        std::vector<Glyph> glyphs;
        double width = 0;  // right edge of the last glyph that is not a space, pixels
    };
    // Text set in lines; `size` is the widest line and the lines' total height, rounded up to
    // whole pixels.
    struct Layout {
        std::vector<Line> lines;
        CGSize size;
    };

    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Opens the font at `fontSize` pixels per em. A name ending in ".ttf" (any case) is a font
    // file, looked up in the resource folder first and then as a path, and registered with
    // registerFontFile. Any other name is a family: it is found only when the font fontconfig
    // picks for it has that family name (compared without regard to case). False with one log
    // line when there is no such font or it cannot be used at that size.
    bool initWithFont(const std::string& fontName, double fontSize);

    // Makes the fonts in the file available by family name to this process (once per path; any
    // thread). False (logged) when fontconfig does not take it.
    static bool registerFontFile(const std::string& path);

    // Lines no wider than `width` pixels (0: no limit) as `lineBreakMode` says.
    Layout layout(std::string_view text, double width, int lineBreakMode) const;
    // Draws the laid-out lines into `bitmap` (bitmapWidth x bitmapHeight bytes, row 0 at the top),
    // the first line's top-left corner at `origin`; each line is aligned within `blockWidth`:
    // 0 left, 1 centre, 2 right. Glyphs are composited over what the bitmap holds and clipped to it.
    void draw(const Layout& layout, CGPoint origin, double blockWidth, int alignment, uint8_t* bitmap,
              uint32_t bitmapWidth, uint32_t bitmapHeight) const;

    // Distance between successive baselines, whole pixels.
    int lineHeight() const { return lineHeight_; }

private:
    // The file and face index of the named font, or an empty path (logged) when there is none.
    static std::string findFontFile(const std::string& fontName, int* faceIndex);
    // Draws one rendered glyph with its top-left corner at (left, top).
    void drawGlyph(int left, int top, uint8_t* bitmap, uint32_t bitmapWidth, uint32_t bitmapHeight) const;

    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
    int lineHeight_ = 0;  // pixels
    int ascender_ = 0;    // pixels from a line's top to its baseline
};
