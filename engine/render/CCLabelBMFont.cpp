#include "engine/render/CCLabelBMFont.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "engine/core/CCDirector.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/Log.h"

namespace {
constexpr char16_t kLineFeed = 0x0A;
constexpr char16_t kReplacement = 0xFFFD;

// U+000A..000D, U+0085, U+2028 and U+2029.
bool isNewline(char16_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

// Tab and the space separators.
bool isWhitespace(char16_t c) {
    return c == 0x09 || c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// Each malformed, overlong or surrogate sequence becomes one U+FFFD.
std::u16string utf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        size_t extra = 0;
        uint32_t code = lead, smallest = 0;
        if (lead >= 0xC2 && lead < 0xE0) {
            extra = 1, code = lead & 0x1F, smallest = 0x80;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2, code = lead & 0x0F, smallest = 0x800;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            extra = 3, code = lead & 0x07, smallest = 0x10000;
        } else if (lead >= 0x80) {
            code = kReplacement;
        }
        size_t next = i + 1;
        for (; next <= i + extra && next < utf8.size() && (utf8[next] & 0xC0) == 0x80; ++next) {
            code = code << 6 | (utf8[next] & 0x3F);
        }
        if (next != i + 1 + extra || code < smallest || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            code = kReplacement;
        }
        i = next;
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

// An unpaired surrogate becomes U+FFFD.
std::string utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        const bool high = code >= 0xD800 && code < 0xDC00;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (code >= 0xD800 && code < 0xE000) {
            code = kReplacement;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

double leftEdge(const CCSprite* sprite) { return sprite->position().x - sprite->contentSize().width / 2; }
double rightEdge(const CCSprite* sprite) { return sprite->position().x + sprite->contentSize().width / 2; }
}  // namespace

template <typename F>
void CCLabelBMFont::forEachSprite(F f) const {
    if (!children()) return;
    for (Object* child : *children()) f(static_cast<CCSprite*>(child));
}

RefPtr<CCLabelBMFont> CCLabelBMFont::labelWithString(std::string_view text, const std::string& fntFile, float width,
                                                     int32_t alignment, CGPoint imageOffset) {
    RefPtr<CCLabelBMFont> label = makeRef<CCLabelBMFont>();
    return label->initWithString(text, fntFile, width, alignment, imageOffset) ? label : nullptr;
}

void CCLabelBMFont::purgeCachedData() { ccFNTConfigClearCache(); }

bool CCLabelBMFont::init() { return initLabel({}, makeRef<CCTexture2D>(), -1, kAlignmentLeft, CGPointZero); }

bool CCLabelBMFont::initWithString(std::string_view text, const std::string& fntFile, float width, int32_t alignment,
                                   CGPoint imageOffset) {
    RefPtr<CCTexture2D> texture;
    if (!loadFont(fntFile, &configuration_, &texture)) return false;
    fntFile_ = fntFile;
    return initLabel(text, std::move(texture), width, alignment, imageOffset);
}

bool CCLabelBMFont::initLabel(std::string_view text, RefPtr<CCTexture2D> texture, float width, int32_t alignment,
                              CGPoint imageOffset) {
    // The UTF-8 length bounds the glyph count.
    const uint64_t capacity = std::min<uint64_t>(text.size(), CCTextureAtlas::kCCTextureAtlasMaxCapacity);
    if (!initWithTexture(std::move(texture), capacity)) return false;
    width_ = width;
    alignment_ = alignment;
    opacityModifyRGB_ = this->texture()->hasPremultipliedAlpha();
    CCNode::setAnchorPoint(CGPointMake(0.5, 0.5));
    imageOffset_ = imageOffset;
    setString(text);
    return true;
}

bool CCLabelBMFont::loadFont(const std::string& fntFile, RefPtr<CCBMFontConfiguration>* configuration,
                             RefPtr<CCTexture2D>* texture) {
    RefPtr<CCBMFontConfiguration> font = ccFNTConfigLoad(fntFile);
    if (!font) return false;  // the loader logged why
    const std::string& image = font->atlasName();
    *texture = image.empty() ? nullptr : CCTextureCache::sharedTextureCache()->addImage(image);
    if (!*texture) {
        logLine("Lumora: CCLabelBMFont: cannot load the page image \"%s\" of %s", image.c_str(), fntFile.c_str());
        return false;
    }
    *configuration = std::move(font);
    return true;
}

// MARK: text

void CCLabelBMFont::setString(std::string_view text) {
    // An equal text would lay out the same sprites again: a label refreshed every frame with an
    // unchanged score then costs nothing.
    if (text == initialString_) return;
    initialString_.assign(text);
    updateLabel();
}

void CCLabelBMFont::setWidth(float width) {
    width_ = width;
    updateLabel();
}

void CCLabelBMFont::setAlignment(int32_t alignment) {
    alignment_ = alignment;
    updateLabel();
}

void CCLabelBMFont::setFntFile(const std::string& fntFile) {
    if (fntFile == fntFile_) return;
    RefPtr<CCBMFontConfiguration> configuration;
    RefPtr<CCTexture2D> texture;
    if (!loadFont(fntFile, &configuration, &texture)) return;
    fntFile_ = fntFile;
    configuration_ = std::move(configuration);
    setTexture(std::move(texture));
    // Other metrics wrap differently.
    updateLabel();
}

int32_t CCLabelBMFont::kerningAmountForFirst(uint16_t first, uint16_t second) const {
    return configuration_ ? configuration_->kerningAmount(first, second) : 0;
}

void CCLabelBMFont::setAnchorPoint(CGPoint anchorPoint) {
    if (CGPointEqualToPoint(anchorPoint, this->anchorPoint())) return;
    CCSpriteBatchNode::setAnchorPoint(anchorPoint);
    createFontChars();
    alignLines();
}

void CCLabelBMFont::updateLabel() {
    showText(utf16(initialString_));
    if (width_ > 0) showText(wrappedText());
    alignLines();
}

void CCLabelBMFont::showText(std::u16string text) {
    text_ = std::move(text);
    string_ = utf8(text_);
    forEachSprite([](CCSprite* sprite) { sprite->setVisible(false); });
    createFontChars();
}

// MARK: layout

void CCLabelBMFont::createFontChars() {
    // The children by tag first, for reuse; then, character by character, the sprite that shows it.
    glyphs_.assign(text_.size(), nullptr);
    forEachSprite([this](CCSprite* sprite) {
        const int64_t tag = sprite->tag();
        if (tag >= 0 && static_cast<uint64_t>(tag) < glyphs_.size() && !glyphs_[tag]) glyphs_[tag] = sprite;
    });
    if (text_.empty()) {
        setContentSize(CGSizeZero);
        return;
    }

    // Pen and line arithmetic in whole pixels, the top line first.
    const double f = CCDirector::sharedDirector()->contentScaleFactor();
    const int64_t lineHeight = configuration_ ? configuration_->commonHeight() : 0;
    const int64_t lines = 1 + std::count(text_.begin(), text_.end() - 1, kLineFeed);
    int64_t x = 0, y = lineHeight * (lines - 1), longestLine = 0;
    char16_t previous = 0xFFFF;
    bool full = false;
    for (size_t i = 0; i < text_.size(); ++i) {
        CCSprite* sprite = std::exchange(glyphs_[i], nullptr);
        const char16_t c = text_[i];
        if (c == kLineFeed) {
            x = 0;
            y -= lineHeight;
            continue;
        }
        const ccBMFontDef* def = configuration_ ? configuration_->fontDefForCharacter(c) : nullptr;
        if (!def) continue;
        // Pen sums in 64 bits: a font's numbers may each fill their own type.
        const int64_t kerning = kerningAmountForFirst(previous, c);
        const CGRect pixels = def->rect;
        const CGRect rect = CGRectMake(pixels.origin.x / f + imageOffset_.x, pixels.origin.y / f + imageOffset_.y,
                                       pixels.size.width / f, pixels.size.height / f);
        if (sprite) {
            sprite->setTextureRect(rect, false, rect.size);
            sprite->setVisible(true);
            sprite->setOpacity(255);
        } else if (descendants()->count() < CCTextureAtlas::kCCTextureAtlasMaxCapacity) {
            RefPtr<CCSprite> made = makeRef<CCSprite>();
            made->initWithTexture(RefPtr<CCTexture2D>(texture()), rect);
            addChild(made.get(), 0, static_cast<int64_t>(i));
            sprite = made.get();
        } else {
            full = true;
            continue;
        }
        const double px = static_cast<double>(x + def->xOffset + kerning) + pixels.size.width * 0.5;
        const double py = static_cast<double>(y + lineHeight - def->yOffset) - rect.size.height * 0.5 * f;
        sprite->setPosition(CGPointMake(px / f, py / f));
        x += def->xAdvance + kerning;
        previous = c;
        // Colour before opacity, so that premultiplication uses the label's colour.
        sprite->setOpacityModifyRGB(opacityModifyRGB_);
        sprite->setColor(color_);
        if (opacity_ != 255) sprite->setOpacity(opacity_);
        longestLine = std::max(longestLine, x);
        glyphs_[i] = sprite;
    }
    if (full) {
        logLine("Lumora: CCLabelBMFont shows only %llu characters of a text of %zu",
                static_cast<unsigned long long>(CCTextureAtlas::kCCTextureAtlasMaxCapacity), text_.size());
    }
    setContentSize(CGSizeMake(static_cast<double>(longestLine) / f, static_cast<double>(lineHeight * lines) / f));
}

std::u16string CCLabelBMFont::wrappedText() const {
    // Every character, glyph or not, is kept; a line feed goes before a word whose glyph would end
    // beyond width_ from the line's first glyph, unless the word itself begins the line (a word
    // wider than the width stays whole on a line of its own).
    std::u16string wrapped, word;
    std::optional<double> lineStart, wordStart;  // left edges of their first glyphs, points
    for (size_t i = 0; i < text_.size(); ++i) {
        const char16_t c = text_[i];
        if (isNewline(c)) {
            wrapped += word;
            wrapped += c;
            word.clear();
            lineStart.reset();
            wordStart.reset();
            continue;
        }
        const CCSprite* sprite = glyphs_[i];
        if (sprite) {
            if (!wordStart) wordStart = leftEdge(sprite);
            if (!lineStart) lineStart = wordStart;
        }
        word += c;
        if (isWhitespace(c)) {
            wrapped += word;
            word.clear();
            wordStart.reset();
        } else if (sprite && rightEdge(sprite) - *lineStart > width_ && *wordStart != *lineStart) {
            while (!wrapped.empty() && isWhitespace(wrapped.back())) wrapped.pop_back();
            wrapped += kLineFeed;
            lineStart.reset();
        }
    }
    return wrapped + word;
}

void CCLabelBMFont::alignLines() {
    if (alignment_ == kAlignmentLeft) return;
    const double width = contentSize().width;
    for (size_t start = 0; start <= text_.size();) {
        const size_t end = std::min(text_.find(kLineFeed, start), text_.size());
        // The line ends at the right edge of its last glyph, in whole points.
        double lineWidth = 0;
        for (size_t k = end; k > start; --k) {
            if (const CCSprite* last = glyphs_[k - 1]) {
                lineWidth = std::trunc(rightEdge(last));
                break;
            }
        }
        float shift = 0;
        if (alignment_ == kAlignmentCenter) shift = static_cast<float>(width / 2 - std::trunc(lineWidth / 2));
        if (alignment_ == kAlignmentRight) shift = static_cast<float>(width - lineWidth);
        if (shift != 0) {
            for (size_t k = start; k < end; ++k) {
                if (CCSprite* sprite = glyphs_[k]) {
                    sprite->setPosition(CGPointMake(sprite->position().x + shift, sprite->position().y));
                }
            }
        }
        start = end + 1;
    }
}

// MARK: colour

void CCLabelBMFont::setColor(ccColor3B color) {
    color_ = color;
    forEachSprite([color](CCSprite* sprite) { sprite->setColor(color); });
}

void CCLabelBMFont::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    forEachSprite([opacity](CCSprite* sprite) { sprite->setOpacity(opacity); });
}

void CCLabelBMFont::setOpacityModifyRGB(bool modify) {
    opacityModifyRGB_ = modify;
    forEachSprite([modify](CCSprite* sprite) { sprite->setOpacityModifyRGB(modify); });
}
