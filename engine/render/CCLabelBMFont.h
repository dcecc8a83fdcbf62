#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/CCLabelProtocol.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/render/CCBMFontConfiguration.h"
#include "engine/render/CCSpriteBatchNode.h"

class CCSprite;

// Text in a bitmap font: one sprite per visible character, cut from the font's page image and
// drawn through the label's own batch with one draw call. Characters are laid out with the font's
// advances, offsets, kerning and line height, top line first, the block centred on the label's
// position by the anchor point (0.5, 0.5); the text can be wrapped to a width and each line
// aligned left, centre or right.
//
// Character indexes are UTF-16 code units of the UTF-8 text. The glyph sprite of character i is
// the child tagged i; line feeds and characters the font lacks have no sprite and take no room.
// Sprites are never removed: a shorter text hides the surplus, a longer one shows them again, so
// sprites are made only when the text grows beyond every text shown before. Setting an equal text
// and drawing allocate nothing.
//
// Engine thread only.
class CCLabelBMFont : public CCSpriteBatchNode, public CCLabelProtocol, public CCRGBAProtocol {
public:
    // How each line sits in the widest one's width.
    enum Alignment : int32_t { kAlignmentLeft = 0, kAlignmentCenter = 1, kAlignmentRight = 2 };

    // Null when the font or its page image cannot be loaded (one log line). `width` in points;
    // 0 or less leaves the text unwrapped. `imageOffset` (points) is added to every glyph's place
    // in the page image.
    static RefPtr<CCLabelBMFont> labelWithString(std::string_view text, const std::string& fntFile, float width = -1,
                                                 int32_t alignment = kAlignmentLeft,
                                                 CGPoint imageOffset = CGPointZero);
    // The font configuration cache's configurations are forgotten; labels keep theirs.
    static void purgeCachedData();

    CCLabelBMFont() = default;

    // No font: an empty texture, and no text can show.
    bool init();
    // The font through the configuration cache, its page image through the texture cache; false
    // when either cannot be loaded (one log line).
    bool initWithString(std::string_view text, const std::string& fntFile, float width = -1,
                        int32_t alignment = kAlignmentLeft, CGPoint imageOffset = CGPointZero);

    // The text as set; it is laid out, wrapped and aligned. string() answers the text shown,
    // with the line feeds that wrapping added.
    void setString(std::string_view text) override;
    const std::string& string() const override { return string_; }

    // Re-wrap and realign the text as set.
    void setWidth(float width);
    int32_t alignment() const { return alignment_; }
    void setAlignment(int32_t alignment);

    // Another font for the same text; a font that cannot be loaded is refused (one log line) and
    // the current one kept.
    const std::string& fntFile() const { return fntFile_; }
    void setFntFile(const std::string& fntFile);

    // A different anchor point is set on the node and the glyphs are laid out again (wrapped
    // text, alignment and all), so that glyph sprites moved by the caller return to their places.
    void setAnchorPoint(CGPoint anchorPoint) override;

    // Pixels between the two characters; 0 without a font or for a pair it does not list.
    int32_t kerningAmountForFirst(uint16_t first, uint16_t second) const;

    // Stored and passed on to every character sprite.
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    bool doesOpacityModifyRGB() const override { return opacityModifyRGB_; }
    void setOpacityModifyRGB(bool modify) override;

protected:
    ~CCLabelBMFont() override = default;

private:
    // The font and its page image, or false after one log line.
    static bool loadFont(const std::string& fntFile, RefPtr<CCBMFontConfiguration>* configuration,
                         RefPtr<CCTexture2D>* texture);
    // The batch on the texture with room for the text's glyphs, white and opaque, then the text.
    bool initLabel(std::string_view text, RefPtr<CCTexture2D> texture, float width, int32_t alignment,
                   CGPoint imageOffset);
    // Lays out initialString_, then wraps and aligns it.
    void updateLabel();
    // Shows `text`: hides every child, then lays it out.
    void showText(std::u16string text);
    // Places one sprite per character of text_, reusing the child of the same tag, and sets the
    // content size; fills glyphs_.
    void createFontChars();
    // The text with a line feed before every word that would cross width_.
    std::u16string wrappedText() const;
    // Moves the sprites of every line of text_ for alignment_ (none for left).
    void alignLines();
    // Every child as a sprite (a batch holds nothing else).
    template <typename F>
    void forEachSprite(F f) const;

    std::string string_;                       // text_ in UTF-8
    std::u16string text_;                      // laid out, after wrapping
    std::string initialString_;                // as set, before wrapping
    std::string fntFile_;
    float width_ = -1;                         // wrap width, points; <= 0 means no wrapping
    int32_t alignment_ = kAlignmentLeft;
    RefPtr<CCBMFontConfiguration> configuration_;  // null only for a label made without a font
    uint8_t opacity_ = 255;
    ccColor3B color_{255, 255, 255};
    bool opacityModifyRGB_ = false;
    CGPoint imageOffset_;                      // points added to every glyph rect's origin
    std::vector<CCSprite*> glyphs_;            // by index of text_: its visible sprite (a child, not retained) or null
};
