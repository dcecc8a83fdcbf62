#include "platform/text/TextRenderer.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"
#include "platform/text/FontLibraries.h"

namespace {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// Splits UTF-8 text into code points; malformed sequences become U+FFFD, one per bad byte.
std::vector<uint32_t> decodeUTF8(std::string_view text) {
    std::vector<uint32_t> codePoints;
    codePoints.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        uint32_t codePoint = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (int k = 1; k < length; ++k) {
            const auto next = i + k < text.size() ? static_cast<uint8_t>(text[i + k]) : 0;
            if ((next & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        const uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        const bool surrogate = codePoint >= 0xD800 && codePoint < 0xE000;
        if (length == 0 || codePoint < smallest || codePoint > 0x10FFFF || surrogate) {
            codePoints.push_back(kReplacementCharacter);
            ++i;
        } else {
            codePoints.push_back(codePoint);
            i += length;
        }
    }
    return codePoints;
}

bool isSpace(uint32_t codePoint) { return codePoint == ' ' || codePoint == '\t' || codePoint == 0x3000; }

// A character of a paragraph with its glyph and advance.
struct Character {
    uint32_t codePoint;
    uint32_t glyph;
    double advance;  // pixels
};

}  // namespace

TextRenderer::TextRenderer() = default;

TextRenderer::~TextRenderer() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
}

bool TextRenderer::registerFontFile(const std::string& path) {
    // Every registration adds the file's fonts to fontconfig's application set again, so each path
    // is registered once.
    static std::mutex mutex;
    static std::set<std::string> registered;
    std::lock_guard lock(mutex);
    if (registered.count(path)) return true;
    if (!fontLibraries()) return false;
    if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str()))) {
        logLine("font file %s cannot be registered", path.c_str());
        return false;
    }
    registered.insert(path);
    return true;
}

std::string TextRenderer::findFontFile(const std::string& fontName, int* faceIndex) {
    *faceIndex = 0;
    if (hasSuffixIgnoringCase(fontName, ".ttf")) {
        std::error_code error;
        for (const std::string& path : {stringByAppendingPathComponent(resourceFolder(), fontName), fontName}) {
            if (std::filesystem::is_regular_file(path, error)) {
                registerFontFile(path);
                return path;
            }
        }
        logLine("font file %s not found", fontName.c_str());
        return {};
    }

    std::unique_ptr<FcPattern, void (*)(FcPattern*)> pattern(FcPatternCreate(), FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(fontName.c_str()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, void (*)(FcPattern*)> match(FcFontMatch(nullptr, pattern.get(), &result),
                                                           FcPatternDestroy);
    // fontconfig always offers something; only a font that carries the family asked for counts.
    FcChar8* family = nullptr;
    for (int i = 0; match && FcPatternGetString(match.get(), FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        FcChar8* file = nullptr;
        if (lowercaseString(reinterpret_cast<const char*>(family)) == lowercaseString(fontName) &&
            FcPatternGetString(match.get(), FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match.get(), FC_INDEX, 0, faceIndex);
            return reinterpret_cast<const char*>(file);
        }
    }
    logLine("font %s not found", fontName.c_str());
    return {};
}

bool TextRenderer::initWithFont(const std::string& fontName, double fontSize) {
    if (!(fontSize > 0 && fontSize < 4096)) {
        logLine("font size %g is out of range", fontSize);
        return false;
    }
    if (!fontLibraries()) return false;
    int faceIndex = 0;
    const std::string path = findFontFile(fontName, &faceIndex);
    if (path.empty()) return false;
    if (!library_ && FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        logLine("the font rasteriser cannot start");
        return false;
    }
    if (face_) FT_Done_Face(face_);
    face_ = nullptr;
    if (FT_New_Face(library_, path.c_str(), faceIndex, &face_) != 0 ||
        FT_Set_Char_Size(face_, 0, std::lround(fontSize * 64), 72, 72) != 0) {
        logLine("font %s cannot be used at size %g", fontName.c_str(), fontSize);
        if (face_) FT_Done_Face(face_);
        face_ = nullptr;
        return false;
    }
    lineHeight_ = static_cast<int>((face_->size->metrics.height + 63) / 64);
    ascender_ = static_cast<int>((face_->size->metrics.ascender + 63) / 64);
    return true;
}

TextRenderer::Layout TextRenderer::layout(std::string_view text, double width, int lineBreakMode) const {
    Layout result;
    if (!face_) return result;
    const bool wraps = width > 0 && (lineBreakMode == 0 || lineBreakMode == 1);
    const bool hasKerning = FT_HAS_KERNING(face_);
    auto kerning = [&](uint32_t left, uint32_t right) {
        FT_Vector delta{};
        if (!hasKerning || left == 0 || right == 0) return 0.0;
        FT_Get_Kerning(face_, left, right, FT_KERNING_DEFAULT, &delta);
        return delta.x / 64.0;
    };

    std::vector<Character> paragraph;  // the one being laid out
    // Emits the characters [start, end) of the paragraph as one line.
    auto emitLine = [&](size_t start, size_t end) {
        Line line;
        double x = 0;
        for (size_t i = start; i < end; ++i) {
            if (i > start) x += kerning(paragraph[i - 1].glyph, paragraph[i].glyph);
            line.glyphs.push_back({paragraph[i].glyph, x});
            x += paragraph[i].advance;
            if (!isSpace(paragraph[i].codePoint)) line.width = x;
        }
        result.size.width = std::max(result.size.width, std::ceil(line.width));
        result.lines.push_back(std::move(line));
    };

    const std::vector<uint32_t> codePoints = decodeUTF8(text);
    for (size_t next = 0; next <= codePoints.size();) {
        // One paragraph: up to a line feed, carriage return or the end.
        paragraph.clear();
        for (; next < codePoints.size() && codePoints[next] != '\n' && codePoints[next] != '\r'; ++next) {
            const uint32_t glyph = FT_Get_Char_Index(face_, codePoints[next]);
            FT_Fixed advance = 0;  // 16.16 pixels
            FT_Get_Advance(face_, glyph, FT_LOAD_DEFAULT, &advance);
            paragraph.push_back({codePoints[next], glyph, advance / 65536.0});
        }
        if (next < codePoints.size() && codePoints[next] == '\r' && next + 1 < codePoints.size() &&
            codePoints[next + 1] == '\n') {
            ++next;
        }
        ++next;

        size_t start = 0;
        do {
            size_t end = paragraph.size();
            size_t afterLastSpace = start;  // a word break opportunity after start, or start for none
            double x = 0;
            for (size_t i = start; i < paragraph.size(); ++i) {
                const double right = x + (i > start ? kerning(paragraph[i - 1].glyph, paragraph[i].glyph) : 0) +
                                     paragraph[i].advance;
                if (wraps && right > width && i > start && !isSpace(paragraph[i].codePoint)) {
                    end = lineBreakMode == 0 && afterLastSpace > start ? afterLastSpace : i;
                    break;
                }
                x = right;
                if (isSpace(paragraph[i].codePoint)) afterLastSpace = i + 1;
            }
            emitLine(start, end);
            start = end;
        } while (start < paragraph.size());
    }
    result.size.height = static_cast<double>(result.lines.size()) * lineHeight_;
    return result;
}

void TextRenderer::draw(const Layout& layout, CGPoint origin, double blockWidth, int alignment, uint8_t* bitmap,
                        uint32_t bitmapWidth, uint32_t bitmapHeight) const {
    if (!face_) return;
    const double placement = alignment == 2 ? 1.0 : alignment == 1 ? 0.5 : 0.0;
    for (size_t row = 0; row < layout.lines.size(); ++row) {
        const Line& line = layout.lines[row];
        const double left = origin.x + (blockWidth - line.width) * placement;
        const double baseline = std::round(origin.y) + static_cast<double>(row) * lineHeight_ + ascender_;
        // Lines and glyphs well outside the bitmap are skipped, which also keeps the pixel
        // positions below within int range.
        const double margin = 4.0 * lineHeight_;
        if (baseline < -margin || baseline > bitmapHeight + margin) continue;
        for (const Glyph& glyph : line.glyphs) {
            if (left + glyph.x < -margin || left + glyph.x > bitmapWidth + margin) continue;
            if (FT_Load_Glyph(face_, glyph.index, FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot slot = face_->glyph;
            drawGlyph(static_cast<int>(std::lround(left + glyph.x)) + slot->bitmap_left,
                      static_cast<int>(baseline) - slot->bitmap_top, bitmap, bitmapWidth, bitmapHeight);
        }
    }
}

void TextRenderer::drawGlyph(int left, int top, uint8_t* bitmap, uint32_t bitmapWidth, uint32_t bitmapHeight) const {
    const FT_Bitmap& glyph = face_->glyph->bitmap;
    if (glyph.pixel_mode != FT_PIXEL_MODE_GRAY && glyph.pixel_mode != FT_PIXEL_MODE_MONO) return;
    const int64_t pitch = glyph.pitch;
    for (int64_t y = 0; y < glyph.rows; ++y) {
        const int64_t targetY = top + y;
        if (targetY < 0 || targetY >= bitmapHeight) continue;
        // A negative pitch stores the rows bottom-up.
        const uint8_t* source = glyph.buffer + (pitch >= 0 ? y * pitch : (glyph.rows - 1 - y) * -pitch);
        uint8_t* target = bitmap + targetY * bitmapWidth;
        for (int64_t x = 0; x < glyph.width; ++x) {
            const int64_t targetX = left + x;
            if (targetX < 0 || targetX >= bitmapWidth) continue;
            const unsigned coverage = glyph.pixel_mode == FT_PIXEL_MODE_GRAY
                                          ? source[x] * 255u / std::max(1, glyph.num_grays - 1)
                                          : ((source[x / 8] >> (7 - x % 8)) & 1) * 255u;
            uint8_t& pixel = target[targetX];
            pixel = static_cast<uint8_t>(coverage + pixel * (255 - coverage) / 255);
        }
    }
}
