#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

// Where one character of a bitmap font lies in the font's page image and how it is placed.
struct ccBMFontDef {
    uint16_t charID = 0;  // UTF-16 code unit
    CGRect rect;          // pixels in the page image, y down from its top
    int16_t xOffset = 0;  // pixels from the pen to the glyph's left edge
    int16_t yOffset = 0;  // pixels from the line's top to the glyph's top
    int16_t xAdvance = 0; // pixels the pen moves after the glyph
};

// Space a font's glyphs were drawn with around them in the page image, pixels per side.
struct ccBMFontPadding {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A bitmap font read from a ".fnt" text file: the character definitions, kerning pairs, line
// height and page image of the font. Immutable once read; bitmap-font labels on the same file
// share one through ccFNTConfigLoad.
//
// The file is read positionally: each line is split at every "=" and the values are taken in the
// standard field order, field names unread. A number is the leading decimal of its value, 0 when
// the value has none or is missing, so a malformed line yields zeros and is never rejected, with
// these exceptions: a character or kerning code outside 0..0xFFFF would alias another once cut to
// 16 bits, so its line is skipped; a page line without a quoted file name, or with a NUL byte in
// it (logged), leaves no atlas name. Offsets, advances and kerning amounts beyond 16 bits saturate.
class CCBMFontConfiguration : public Object {
public:
    // Null when the file cannot be read (logged once).
    static RefPtr<CCBMFontConfiguration> configurationWithFNTFile(const std::string& fntFile);

    CCBMFontConfiguration() = default;

    // Reads the file, found through file lookup. False, logged, when it cannot be read, is larger
    // than InputLimits::kFileBytes or is not UTF-8 text (a byte order mark is allowed; a NUL byte
    // is not).
    bool initWithFNTfile(const std::string& fntFile);
    // Reads the definitions of .fnt text; `fntFile` is the name its page image is relative to.
    void parseConfigText(std::string_view text, const std::string& fntFile);

    // "<CCBMFontConfiguration = 0x... | Glphys:95 Kernings:12 | Image = fonts/title.png>".
    std::string description() const override;

    // Every character with a definition, by UTF-16 code unit.
    const std::bitset<65536>& characterSet() const { return characterSet_; }
    // The character's definition (the file's last one for it), or null.
    const ccBMFontDef* fontDefForCharacter(uint16_t character) const;
    // Pixels to add between the two characters; 0 for a pair the font does not list.
    int32_t kerningAmount(uint16_t first, uint16_t second) const;
    // Line height, pixels.
    int64_t commonHeight() const { return commonHeight_; }
    // Reads the padding of an "info face" line, its eleventh value "up,right,down,left" (each the
    // leading decimal of its field, 0 where a field is missing). The file reader does not call it:
    // layout takes no padding, so a font read from a file has all four 0.
    void parseInfoArguments(std::string_view line);
    const ccBMFontPadding& padding() const { return padding_; }
    // The page image: the .fnt file's directory joined with the page's file name; empty when the
    // font names none.
    const std::string& atlasName() const { return atlasName_; }
    void setAtlasName(std::string atlasName) { atlasName_ = std::move(atlasName); }

private:
    void parseCharacterDefinition(std::string_view line);
    void parseKerningEntry(std::string_view line);
    void parseImageFileName(std::string_view line, const std::string& fntFile);

    std::bitset<65536> characterSet_;
    std::string atlasName_;
    std::unordered_map<uint16_t, ccBMFontDef> fontDefDictionary_;
    int64_t commonHeight_ = 0;                            // pixels
    ccBMFontPadding padding_;
    std::unordered_map<uint32_t, int32_t> kerningDictionary_;  // first << 16 | second -> pixels, 16-bit range
};

// The configuration of the .fnt file, read on the first request for that name and shared
// afterwards; null, logged, when it cannot be read (a failed name is read again next time).
RefPtr<CCBMFontConfiguration> ccFNTConfigLoad(const std::string& fntFile);
// Forgets every configuration; labels keep the ones they hold.
void ccFNTConfigClearCache();
