#pragma once

#include <string>
#include <string_view>

#include "engine/core/CCLabelProtocol.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCSprite.h"

// Text set in a system font or a TrueType font file and rendered into one texture, which the
// label shows as a sprite. Every real change of text, font, size, box or alignment renders a new
// texture; setting a value equal to the current one renders nothing.
//
// The text is laid out in a box of `dimensions` points; a box with a side that is not positive
// fits the texture to the text instead (lines centred, as the texture's fitted text path sets
// them). The label's content size is the texture's picture size in points, and sizes are
// multiplied by the director's content scale factor for rendering.
//
// The font is opened whenever there is text to render. When it cannot be (no such font, a size
// out of range), the change that needed it is refused with one log line and the label keeps what
// it showed; an initialiser given such a font and some text fails. Empty text, or text that sets
// to nothing, shows no texture and a zero content size.
//
// Engine thread only.
class CCLabelTTF : public CCSprite, public CCLabelProtocol {
public:
    // Labels through the initialisers of the same shape; null where those fail.
    static RefPtr<CCLabelTTF> labelWithString(std::string_view text, const std::string& fontName, double fontSize);
    static RefPtr<CCLabelTTF> labelWithString(std::string_view text, const std::string& fontName, double fontSize,
                                              CGSize dimensions, int hAlignment,
                                              int vAlignment = kCCVerticalTextAlignmentTop,
                                              int lineBreakMode = kCCLineBreakModeWordWrap);

    CCLabelTTF() = default;

    // Empty text in "Helvetica" at 12 points.
    bool init();
    // Fitted to the text; alignments left and top and word wrapping, for a box set later.
    bool initWithString(std::string_view text, const std::string& fontName, double fontSize);
    // A sprite with no texture drawn with the position-texture-colour program, then the settings
    // (the font name through getFontName) and the text. False when the font name is a font file
    // that cannot be registered, or when there is text and the font cannot be opened (logged).
    bool initWithString(std::string_view text, const std::string& fontName, double fontSize, CGSize dimensions,
                        int hAlignment, int vAlignment = kCCVerticalTextAlignmentTop,
                        int lineBreakMode = kCCLineBreakModeWordWrap);

    // A name ending in ".ttf" (any case) is a font file: it is looked up as a resource, registered
    // for this process, and named from then on by its file name without folder and extension,
    // which this answers. Other names are font families, answered unchanged. Empty (logged) when
    // the file cannot be registered.
    static std::string getFontName(const std::string& fontName);

    // "<CCLabelTTF = 0x... | FontSize = 12.0>".
    std::string description() const override;

    // The UTF-8 text.
    void setString(std::string_view text) override;
    const std::string& string() const override { return string_; }

    // Settings; each setter refuses as the class comment says. Font size in points; dimensions in
    // points; alignments kCCTextAlignment* and kCCVerticalTextAlignment*.
    const std::string& fontName() const { return fontName_; }
    void setFontName(const std::string& fontName);
    float fontSize() const { return static_cast<float>(fontSize_); }
    void setFontSize(float fontSize);
    CGSize dimensions() const { return dimensions_; }
    void setDimensions(CGSize dimensions);
    int horizontalAlignment() const { return hAlignment_; }
    void setHorizontalAlignment(int alignment);
    int verticalAlignment() const { return vAlignment_; }
    void setVerticalAlignment(int alignment);

private:
    // Sets the field and renders; puts the previous value back when the font cannot be opened.
    template <typename T>
    void change(T& field, T value);
    // Shows the text rendered with the current settings. False, changing nothing, when there is
    // text and the font cannot be opened (logged).
    bool updateTexture();

    CGSize dimensions_;  // points; a side that is not positive fits the text
    int hAlignment_ = kCCTextAlignmentLeft;
    int vAlignment_ = kCCVerticalTextAlignmentTop;
    std::string fontName_;  // a family, or the base name of a registered font file
    double fontSize_ = 0;   // points
    int lineBreakMode_ = kCCLineBreakModeWordWrap;
    std::string string_;
};
