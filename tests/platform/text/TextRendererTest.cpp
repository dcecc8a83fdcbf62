#include "platform/text/TextRenderer.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";
constexpr const char* kFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class TextRendererTest : public ::testing::Test {
protected:
    // fontconfig keeps registered fonts through pointers stored as offsets, which the leak checker
    // cannot follow: let it free them before the process ends. Later users start it afresh.
    static void TearDownTestSuite() { FcFini(); }
};

TEST_F(TextRendererTest, TextIsSetAndDrawnInTheFontAskedForOnly) {
    // A font file name is looked up among the resources first, whatever the case of ".ttf", then as a path.
    TemporaryFolder resources;
    resources.write("Custom.TTF", readFileBytes(kFile));
    const ScopedResourceFolder useResources(resources.path());
    TextRenderer renderer;
    for (const char* name : {"Custom.TTF", kFile, "dejavu SANS", kFamily}) EXPECT_TRUE(renderer.initWithFont(name, 16));
    for (const auto& [name, line] : {std::pair{"No Such Family", "font No Such Family not found"},
                                     {"Missing.ttf", "font file Missing.ttf not found"}}) {
        LogCapture capture;
        EXPECT_FALSE(TextRenderer().initWithFont(name, 16));
        EXPECT_EQ(capture.lines(), std::vector<std::string>{line});
    }
    // Glyphs per line. Word wrapping (mode 0) keeps words whole, spaces at a break hanging outside the
    // line, and splits a word wider than the line between characters, as character wrapping (mode 1)
    // splits all; other modes do not wrap. Bad UTF-8 sets a replacement character per bad byte.
    const double twoWords = renderer.layout("aaa bbb", 0, 0).size.width;
    const double mmm = renderer.layout("mmm", 0, 0).size.width, aBb = renderer.layout("a bb", 0, 0).size.width;
    const std::tuple<std::string, double, int, std::vector<size_t>> cases[] = {
        {"Hello\nworld\r\nagain\rend", 0, 0, {5, 5, 5, 3}}, {"line\n", 0, 0, {4, 0}}, {"", 0, 0, {0}},
        {"a\xFF\xC3(\xE2\x82", 0, 0, {6}}, {"\xC3\xA9t\xC3\xA9", 0, 0, {3}}, {"aaa bbb ccc", twoWords, 0, {8, 3}},
        {"aaa bbb ccc", twoWords, 4, {11}}, {"mmmmmmmmm m", mmm, 0, {3, 3, 4, 1}}, {"a bbb", aBb, 0, {2, 3}},
        {"a bbb", aBb, 1, {4, 1}}};
    for (const auto& [text, width, mode, glyphs] : cases) {
        const TextRenderer::Layout layout = renderer.layout(text, width, mode);
        std::vector<size_t> counts;
        for (const TextRenderer::Line& line : layout.lines) counts.push_back(line.glyphs.size());
        EXPECT_EQ(counts, glyphs) << text << " in mode " << mode;
        EXPECT_EQ(layout.size.height, renderer.lineHeight() * static_cast<double>(glyphs.size())) << text;
    }
    EXPECT_EQ(renderer.layout("aaa bbb ccc", twoWords, 0).size.width, twoWords);
    // Drawn, the ink's leftmost column is right of the origin, then moves right by half, then all,
    // of the room the line leaves in its block.
    const TextRenderer::Layout layout = renderer.layout("I", 0, 0);
    std::vector<int> lefts(3, 128);
    for (int alignment : {0, 1, 2}) {
        std::vector<uint8_t> bitmap(128 * 64, 0);
        renderer.draw(layout, {10, 20}, 100, alignment, bitmap.data(), 128, 64);
        for (int i = 0; i < 128 * 64; ++i) lefts[alignment] = std::min(lefts[alignment], bitmap[i] ? i % 128 : 128);
    }
    EXPECT_GE(lefts[0], 10);
    EXPECT_NEAR(lefts[1] - lefts[0], (100 - layout.lines[0].width) / 2, 1.5);
    EXPECT_NEAR(lefts[2] - lefts[0], 100 - layout.lines[0].width, 1.5);
    // Drawing is clipped to the bitmap, the address sanitizer watching its edges: lines across them
    // ink it, fully inside the strokes; lines far away do not.
    std::vector<uint8_t> tiny(8 * 8, 0);
    for (const CGPoint origin : {CGPoint{-1e6, 1e6}, CGPoint{300, 4}, CGPoint{-2, -9}, CGPoint{5, 2}}) {
        renderer.draw(layout, origin, 0, 0, tiny.data(), 8, 8);
        EXPECT_EQ(*std::max_element(tiny.begin(), tiny.end()), std::abs(origin.x) < 8 ? 255 : 0) << origin.x;
    }
}

}  // namespace
