#include "platform/text/TextRenderer.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Columns and rows of a bitmap that hold any coverage.
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1;  // inclusive; -1 when there is none
};

Ink inkOf(const std::vector<uint8_t>& bitmap, int width, int height) {
    Ink ink;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (bitmap[static_cast<size_t>(y) * width + x] == 0) continue;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = ink.top < 0 ? y : ink.top;
            ink.bottom = y;
        }
    }
    return ink;
}

class TextRendererTest : public ::testing::Test {
protected:
    // fontconfig keeps registered fonts through pointers stored as offsets, which the leak checker
    // cannot follow: let it free them before the process ends. Later users start it afresh.
    static void TearDownTestSuite() { FcFini(); }
};

TEST_F(TextRendererTest, FontsAreFoundByFamilyOrFileAndNeverSubstituted) {
    TextRenderer renderer;
    EXPECT_TRUE(renderer.initWithFont(kFamily, 20));
    EXPECT_GT(renderer.lineHeight(), 20);
    EXPECT_TRUE(renderer.initWithFont("dejavu SANS", 20));

    LogCapture capture;
    EXPECT_FALSE(renderer.initWithFont("No Such Family Anywhere", 20));
    EXPECT_TRUE(capture.contains("font No Such Family Anywhere not found"));
    EXPECT_FALSE(renderer.initWithFont(kFamily, 0));

    // A font file name is looked up among the resources first, whatever the case of ".ttf".
    TemporaryFolder resources;
    resources.write("Custom.TTF", readFileBytes(kFontFile));
    const ScopedResourceFolder useResources(resources.path());
    EXPECT_TRUE(renderer.initWithFont("Custom.TTF", 12));
    EXPECT_TRUE(renderer.initWithFont(kFontFile, 12));  // or as a path
    capture.clear();
    EXPECT_FALSE(renderer.initWithFont("Missing.ttf", 12));
    EXPECT_TRUE(capture.contains("font file Missing.ttf not found"));
}

TEST_F(TextRendererTest, LinesBreakAtLineFeedsAndWrapAsTheModeSays) {
    TextRenderer renderer;
    ASSERT_TRUE(renderer.initWithFont(kFamily, 16));
    const int lineHeight = renderer.lineHeight();

    const TextRenderer::Layout one = renderer.layout("Hello", 0, 0);
    ASSERT_EQ(one.lines.size(), 1u);
    EXPECT_EQ(one.lines[0].glyphs.size(), 5u);
    EXPECT_EQ(one.size.width, std::ceil(one.lines[0].width));

    const TextRenderer::Layout two = renderer.layout("Hello\nworld\r\nagain\rend", 0, 0);
    ASSERT_EQ(two.lines.size(), 4u);
    EXPECT_EQ(two.size.height, 4 * lineHeight);
    EXPECT_EQ(renderer.layout("line\n", 0, 0).lines.size(), 2u);

    // Word wrapping keeps words whole; the spaces at a break hang outside the line.
    const double twoWords = renderer.layout("aaa bbb", 0, 0).size.width;
    const TextRenderer::Layout wrapped = renderer.layout("aaa bbb ccc", twoWords, 0);
    ASSERT_EQ(wrapped.lines.size(), 2u);
    EXPECT_EQ(wrapped.lines[0].glyphs.size(), 8u);  // "aaa bbb "
    EXPECT_EQ(wrapped.lines[1].glyphs.size(), 3u);
    EXPECT_LE(wrapped.lines[0].width, twoWords);
    EXPECT_EQ(wrapped.size.width, twoWords);

    // A word wider than the line is split between characters, as character wrapping splits all.
    const double narrow = renderer.layout("mmm", 0, 0).size.width;
    for (int mode : {0, 1}) {
        const TextRenderer::Layout split = renderer.layout("mmmmmmmmm m", narrow, mode);
        EXPECT_GE(split.lines.size(), 4u) << mode;
        for (const TextRenderer::Line& line : split.lines) EXPECT_LE(line.width, narrow) << mode;
    }
    EXPECT_EQ(renderer.layout("aaa bbb ccc", twoWords, 1).lines[0].glyphs.size(), 8u);
    // Other modes do not wrap.
    EXPECT_EQ(renderer.layout("aaa bbb ccc", twoWords, 4).lines.size(), 1u);

    // Nothing to set is nothing wide; bad UTF-8 sets replacement characters rather than failing.
    EXPECT_EQ(renderer.layout("", 0, 0).size.width, 0);
    EXPECT_EQ(renderer.layout("a\xFF\xC3(\xE2\x82", 0, 0).lines[0].glyphs.size(), 6u);
    EXPECT_EQ(renderer.layout("\xC3\xA9t\xC3\xA9", 0, 0).lines[0].glyphs.size(), 3u);
}

TEST_F(TextRendererTest, DrawingPlacesLinesByOriginAndAlignment) {
    TextRenderer renderer;
    ASSERT_TRUE(renderer.initWithFont(kFamily, 24));
    constexpr int kWidth = 256, kHeight = 128;
    const TextRenderer::Layout layout = renderer.layout("Wide line\nI", 0, 0);
    ASSERT_EQ(layout.lines.size(), 2u);
    const double block = layout.size.width;

    std::vector<Ink> inks;
    for (int alignment : {0, 1, 2}) {
        std::vector<uint8_t> bitmap(kWidth * kHeight, 0);
        renderer.draw(layout, {10, 20}, block, alignment, bitmap.data(), kWidth, kHeight);
        // The second line alone, below the first line's height.
        std::vector<uint8_t> second(bitmap.begin() + (20 + renderer.lineHeight()) * kWidth, bitmap.end());
        inks.push_back(inkOf(second, kWidth, kHeight - 20 - renderer.lineHeight()));
        const Ink all = inkOf(bitmap, kWidth, kHeight);
        EXPECT_GE(all.left, 10);
        EXPECT_LE(all.right, 10 + block + 2);
        EXPECT_GE(all.top, 20);
        EXPECT_LT(all.bottom, 20 + 2 * renderer.lineHeight());
        EXPECT_EQ(*std::max_element(bitmap.begin(), bitmap.end()), 255);  // full coverage inside strokes
    }
    // The short line moves right by half, then all, of the room the long line leaves.
    const double room = block - layout.lines[1].width;
    EXPECT_NEAR(inks[1].left - inks[0].left, room / 2, 1.5);
    EXPECT_NEAR(inks[2].left - inks[0].left, room, 1.5);

    // Drawing beyond every edge is clipped, not written outside the bitmap.
    std::vector<uint8_t> tiny(8 * 8, 0);
    for (const CGPoint origin : {CGPoint{-30, -30}, CGPoint{4, 4}, CGPoint{-1e6, 1e6}}) {
        renderer.draw(layout, origin, block, 2, tiny.data(), 8, 8);
    }
    SUCCEED();
}

}  // namespace
