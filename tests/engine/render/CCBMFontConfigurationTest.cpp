// The .fnt reader: positional fields, duplicates, kerning, malformed lines, the cache and refusals.

#include "engine/render/CCBMFontConfiguration.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

using namespace std::literals;

constexpr const char* kFont =
    "common lineHeight=16 base=13 scaleW=64 scaleH=64 pages=1\r\n"
    "page id=0 file=\"glyphs.png\"\r\n"
    "chars count=3\r\n"
    "char id=65   x=1 y=2 width=3 height=4 xoffset=5 yoffset=6 xadvance=7 page=0\r\n"
    "char id=65 x=10 y=20 width=10 height=12 xoffset=1 yoffset=-4 xadvance=11 page=0\r\n"
    "char id=65601 x=9 y=9 width=9 height=9 xoffset=9 yoffset=9 xadvance=9\r\n"
    "char id=86 x=30 y=40\n"
    "kerning first=65 second=86 amount=-2\n"
    "kerning first=40000 second=65 amount=3\n"
    "kerning first=65 second=70000 amount=5\n"
    "kerning first=66 second=67 amount=2147483647\n"
    "kerning first=67 second=66 amount=-99999999999\n";

TEST(CCBMFontConfigurationTest, ReadsFieldsByPositionAndKeepsTheLastDefinition) {
    CCBMFontConfiguration font;
    font.parseConfigText(kFont, "fonts/title.fnt");
    EXPECT_EQ(font.commonHeight(), 16);
    EXPECT_EQ(font.atlasName(), "fonts/glyphs.png");
    EXPECT_EQ(font.characterSet().count(), 2u);  // not the count line's 3, nor 65601 cut to 65
    const ccBMFontDef *a = font.fontDefForCharacter('A'), *v = font.fontDefForCharacter('V');
    ASSERT_TRUE(a && v);
    EXPECT_EQ(a->rect, CGRectMake(10, 20, 10, 12));
    EXPECT_EQ((std::array{a->xOffset, a->yOffset, a->xAdvance}), (std::array<int16_t, 3>{1, -4, 11}));
    EXPECT_EQ(v->rect, CGRectMake(30, 40, 0, 0));  // a cut line reads its missing fields as 0
    // Pair keys above 0x7FFFFFFF stay apart from the others; codes beyond 16 bits are skipped;
    // amounts saturate at 16 bits, so that a label's pen arithmetic cannot overflow.
    EXPECT_EQ((std::array{font.kerningAmount('A', 'V'), font.kerningAmount(40000, 'A'),
                          font.kerningAmount('A', 70000 & 0xFFFF), font.kerningAmount('V', 'A'),
                          font.kerningAmount('B', 'C'), font.kerningAmount('C', 'B')}),
              (std::array{-2, 3, 0, 0, 32767, -32768}));
}

TEST(CCBMFontConfigurationTest, MalformedLinesNeverCrashAndYieldZerosOrNothing) {
    // Each line alone, the characters it defines and the atlas name it leaves: missing numbers
    // read as 0 ("char" alone defines U+0000), ids beyond 16 bits and unquoted names count for nothing.
    // A page name with a NUL byte would be opened cut at the NUL, as another file: refused, logged.
    const struct { std::string_view line; size_t defined; const char* atlas; } rows[] = {
        {"char", 1, ""}, {"char id=-1 x=3", 0, ""}, {"char id=70000", 0, ""}, {"page id", 0, ""},
        {"page id=0 file=glyphs.png", 0, ""}, {"page id=0 file=\"glyphs.png", 0, ""},
        {"page id=0 file=\"\"", 0, ""}, {"page id=0 file=\"a b.png\"\r", 0, "a b.png"},
        {"kerning first", 0, ""}, {"common lineHeight", 0, ""}, {"====", 0, ""}, {"\n\n\r", 0, ""},
        {"page id=0 file=\"glyphs.png\0.fnt\""sv, 0, ""},
    };
    LogCapture log;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        CCBMFontConfiguration font;
        font.parseConfigText(row.line, "title.fnt");
        EXPECT_EQ(font.characterSet().count(), row.defined);
        EXPECT_EQ(font.atlasName(), row.atlas);
        EXPECT_EQ(font.commonHeight(), 0);
    }
    EXPECT_EQ(log.lines(), std::vector<std::string>{
                               "Lumora: FNTfile title.fnt: the page file name holds a NUL byte; no page image"});
}

TEST(CCBMFontConfigurationTest, InfoLinePaddingReadsUpRightDownLeftAndMissingValuesAsZero) {
    constexpr std::string_view kInfo =
        "info face=\"Title\" size=32 bold=0 italic=0 charset=\"\" unicode=1 stretchH=100 smooth=1 aa=1 ";
    // The line and the padding read from it as left, top, right, bottom.
    const struct { std::string line; std::array<int32_t, 4> padding; } rows[] = {
        {std::string(kInfo) + "padding=1,2,3,4 spacing=1,1", {4, 1, 2, 3}},
        {std::string(kInfo) + "padding=-1, 2,3,4,5\r", {4, -1, 2, 3}},
        // Read by place, not by name: without padding the spacing stands in its place.
        {std::string(kInfo) + "spacing=1,1", {0, 1, 1, 0}},
        {"info face=\"Title\" size=32", {0, 0, 0, 0}},
        {std::string(kInfo) + "padding=7", {0, 7, 0, 0}},
        {std::string(kInfo) + "padding=a,b,,", {0, 0, 0, 0}},
        {std::string(kInfo) + "padding=", {0, 0, 0, 0}},
        {"info face", {0, 0, 0, 0}},
    };
    const auto sides = [](const CCBMFontConfiguration& font) {
        const ccBMFontPadding& padding = font.padding();
        return std::array{padding.left, padding.top, padding.right, padding.bottom};
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        CCBMFontConfiguration font;
        font.parseInfoArguments(row.line);
        EXPECT_EQ(sides(font), row.padding);
    }
    // The file reader leaves the padding out of the font.
    CCBMFontConfiguration font;
    font.parseConfigText(rows[0].line + "\n" + kFont, "title.fnt");
    EXPECT_EQ(sides(font), (std::array<int32_t, 4>{}));
    EXPECT_EQ(font.commonHeight(), 16);
}

TEST(CCBMFontConfigurationTest, CacheSharesReadFontsAndRefusesBadFilesOnce) {
    const TemporaryFolder folder;
    const ScopedResourceFolder useFolder(folder.path());
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    LogCapture log;
    EXPECT_EQ(ccFNTConfigLoad("title.fnt"), nullptr);
    folder.write("title.fnt", kFont);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    // A failed name is not cached: the file that appeared is read now, and once only.
    const RefPtr<CCBMFontConfiguration> font = ccFNTConfigLoad("title.fnt");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->atlasName(), "glyphs.png");
    EXPECT_EQ(ccFNTConfigLoad("title.fnt"), font);
    std::filesystem::resize_file(folder.write("huge.fnt", ""), InputLimits::kFileBytes + 1);
    EXPECT_EQ(ccFNTConfigLoad("huge.fnt"), nullptr);
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(log.contains("Lumora: Error parsing FNTfile huge.fnt: larger than"));
}

TEST(CCBMFontConfigurationTest, RefusesFilesThatAreNotUTF8TextAndCachesNone) {
    const TemporaryFolder folder;
    const ScopedResourceFolder useFolder(folder.path());
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    // Contents, and the line height read (-1: refused). The byte order mark does not hide the first line.
    const struct { const char* name; std::string bytes; int64_t lineHeight; } files[] = {
        {"bom.fnt", "\xEF\xBB\xBF" + std::string(kFont), 16},
        {"png.fnt", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, -1},
        {"utf16.fnt", "\xFF\xFE" "c\0o\0m\0m\0o\0n\0"s, -1},
        {"utf16-no-mark.fnt", "c\0o\0m\0m\0o\0n\0 \0l\0i\0n\0e\0"s, -1},
        {"latin1.fnt", "info face=\"Caf\xE9\"\ncommon lineHeight=16\n", -1},
        {"surrogate.fnt", "common lineHeight=16 \xED\xA0\x80\n", -1},
        {"cut.fnt", "common lineHeight=16\n\xE2\x82", -1},
        {"nul-name.fnt", "page id=0 file=\"a\0b.png\"\n"s, -1},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        folder.write(file.name, file.bytes);
        LogCapture log;
        const RefPtr<CCBMFontConfiguration> font = ccFNTConfigLoad(file.name);
        EXPECT_EQ(font ? font->commonHeight() : -1, file.lineHeight);
        if (font) continue;
        // Not cached: asked again, the file is read again.
        EXPECT_EQ(ccFNTConfigLoad(file.name), nullptr);
        EXPECT_EQ(log.lines(), std::vector<std::string>(2, "Lumora: Error parsing FNTfile " + std::string(file.name) +
                                                               ": not UTF-8 text"));
    }
    // A name that the file system would read cut at its NUL byte is no file of its own.
    folder.write("title.fnt", kFont);
    LogCapture log;
    EXPECT_EQ(ccFNTConfigLoad("title.fnt\0.png"s), nullptr);
    EXPECT_TRUE(log.contains("Lumora: Error parsing FNTfile title.fnt"));
}
