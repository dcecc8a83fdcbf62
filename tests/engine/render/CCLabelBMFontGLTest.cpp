// The bitmap-font label over a generated font of solid-colour glyph cells: layout with kerning,
// lines, wrapping and alignment, sprite reuse, refused fonts, and the glyphs on screen.

#include "engine/render/CCLabelBMFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/Log.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

// Line height 16. 'A' 10 x 12 (xoffset 1, yoffset 4, advance 11), kerned -2 before 'V'; 'a' and
// 'b' 8 x 12 (advance 8); the blank has no pixels and advances 4. The pair (B, b) and (b, B) carry
// kernings at the limits of 32 bits, which the font keeps to 16.
constexpr const char* kFont =
    "common lineHeight=16 base=12 scaleW=64 scaleH=32 pages=1\n"
    "page id=0 file=\"glyphs.png\"\n"
    "char id=65 x=0 y=0 width=10 height=12 xoffset=1 yoffset=4 xadvance=11\n"
    "char id=86 x=16 y=0 width=10 height=12 xoffset=0 yoffset=4 xadvance=10\n"
    "char id=66 x=32 y=0 width=8 height=12 xoffset=0 yoffset=4 xadvance=8\n"
    "char id=97 x=48 y=0 width=8 height=12 xoffset=0 yoffset=4 xadvance=8\n"
    "char id=98 x=0 y=16 width=8 height=12 xoffset=0 yoffset=4 xadvance=8\n"
    "char id=32 x=60 y=20 width=0 height=0 xoffset=0 yoffset=0 xadvance=4\n"
    "kerning first=65 second=86 amount=-2\n"
    "kerning first=66 second=98 amount=2147483647\n"
    "kerning first=98 second=66 amount=-2147483648\n";

constexpr ccColor3B kCells[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}};

using Glyph = std::tuple<int64_t, double, double>;  // tag, position x, y

class CCLabelBMFontGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        folder_.write("font.fnt", kFont);
        // Cells A, V, B, a on the top row and b below, 12 high, in the colours of kCells.
        std::vector<uint8_t> pixels(64 * 32 * 4, 0);
        const int cells[][3] = {{0, 0, 10}, {16, 0, 10}, {32, 0, 8}, {48, 0, 8}, {0, 16, 8}};  // x, y, width
        for (int c = 0; c < 5; ++c) {
            for (int i = 0; i < cells[c][2] * 12; ++i) {
                uint8_t* p = &pixels[((cells[c][1] + i / cells[c][2]) * 64 + cells[c][0] + i % cells[c][2]) * 4];
                p[0] = kCells[c].r, p[1] = kCells[c].g, p[2] = kCells[c].b, p[3] = 255;
            }
        }
        ASSERT_TRUE(Image(64, 32, true, std::move(pixels)).writePNG(folder_.file("glyphs.png")));
    }

    // The visible glyph sprites in tag order.
    static std::vector<Glyph> glyphs(const CCLabelBMFont* label) {
        std::vector<Glyph> shown;
        for (Object* child : *label->children()) {
            const auto* sprite = static_cast<CCSprite*>(child);
            if (sprite->visible()) shown.emplace_back(sprite->tag(), sprite->position().x, sprite->position().y);
        }
        std::sort(shown.begin(), shown.end());
        return shown;
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCLabelBMFontGLTest, LaysOutKerningLinesWrappingAndAlignment) {
    // `before` is an earlier text whose sprites are reused; `shown` the text after wrapping.
    const struct Row {
        const char *before, *text;
        float width;
        int32_t alignment;
        const char* shown;
        CGSize size;
        std::vector<Glyph> glyphs;
    } rows[] = {
        {"", "AV", -1, 0, "AV", {19, 16}, {{0, 6, 6}, {1, 14, 6}}},
        {"", "AB\nB", -1, 0, "AB\nB", {19, 32}, {{0, 6, 22}, {1, 15, 22}, {3, 4, 6}}},
        {"", "BbB", -1, 0, "BbB", {32783, 16}, {{0, 4, 6}, {1, 32779, 6}, {2, 19, 6}}},
        {"", "aa bb", 20, 0, "aa\nbb", {16, 32}, {{0, 4, 22}, {1, 12, 22}, {3, 4, 6}, {4, 12, 6}}},
        {"", "a b", 0, 0, "a b", {20, 16}, {{0, 4, 6}, {1, 8, 16}, {2, 16, 6}}},
        // A word wider than the width stays whole, without blank lines before it.
        {"", "aaaa", 10, 0, "aaaa", {32, 16}, {{0, 4, 6}, {1, 12, 6}, {2, 20, 6}, {3, 28, 6}}},
        // Characters without a glyph are kept by wrapping, taking no room.
        {"", "a?b", 100, 0, "a?b", {16, 16}, {{0, 4, 6}, {2, 12, 6}}},
        {"", "aaa\nb", -1, 1, "aaa\nb", {24, 32}, {{0, 4, 22}, {1, 12, 22}, {2, 20, 22}, {4, 12, 6}}},
        {"", "\nb\naaa", -1, 1, "\nb\naaa", {24, 48}, {{1, 12, 22}, {3, 4, 6}, {4, 12, 6}, {5, 20, 6}}},
        // A line ending in a character without a glyph is measured by its last glyph, not by the
        // hidden sprite left with that tag by the earlier text.
        {"aaaaa", "aa\na?", -1, 2, "aa\na?", {16, 32}, {{0, 4, 22}, {1, 12, 22}, {3, 12, 6}}},
        {"aaa", "", -1, 0, "", {0, 0}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const RefPtr<CCLabelBMFont> label = CCLabelBMFont::labelWithString(row.before, "font.fnt");
        ASSERT_NE(label, nullptr);
        label->setWidth(row.width);
        label->setAlignment(row.alignment);
        label->setString(row.text);
        EXPECT_EQ(label->string(), row.shown);
        EXPECT_EQ(label->contentSize(), row.size);
        EXPECT_EQ(glyphs(label.get()), row.glyphs);
    }
}

TEST_F(CCLabelBMFontGLTest, AnotherAnchorPointLaysTheGlyphsOutAgainWrappedAndAligned) {
    const struct { const char* text; float width; int32_t alignment; } rows[] = {
        {"AV", -1, 0}, {"aaa\nb", -1, 1}, {"aa bb a", 20, 2},
    };
    const CGPoint anchor = CGPointMake(0, 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto made = [&] {
            return CCLabelBMFont::labelWithString(row.text, "font.fnt", row.width, row.alignment);
        };
        // The anchor point moves the whole block, not the glyphs in it: they match a label just made.
        const RefPtr<CCLabelBMFont> label = made(), expected = made();
        ASSERT_TRUE(label && expected);
        // A glyph the caller moved stays where it is while the anchor point stays the same.
        CCNode* moved = label->getChildByTag(0);
        moved->setPosition(CGPointMake(-50, -50));
        label->setAnchorPoint(CGPointMake(0.5, 0.5));
        EXPECT_EQ(moved->position(), CGPointMake(-50, -50));
        label->setAnchorPoint(anchor);
        EXPECT_EQ(glyphs(label.get()), glyphs(expected.get()));
        EXPECT_EQ(label->anchorPointInPoints(), CGPointMake(0, label->contentSize().height));
    }
}

TEST_F(CCLabelBMFontGLTest, ReusesSpritesByTagAndWrapsPastChildrenOfItsOwn) {
    const RefPtr<CCLabelBMFont> label = CCLabelBMFont::labelWithString("aaa bbb", "font.fnt");
    ASSERT_NE(label, nullptr);
    CCNode* last = label->getChildByTag(6);
    label->setString("ab");
    EXPECT_EQ(label->children()->count(), 7u);
    label->setString("aaaaaaa");
    EXPECT_EQ(label->getChildByTag(6), last);
    EXPECT_TRUE(last->visible());

    // A sprite of the caller's with no glyph's tag once sent the wrap's search for tags past the
    // highest one for ever.
    label->addChild(CCSprite::spriteWithTexture(RefPtr<CCTexture2D>(label->texture())).get());
    label->setString("aaa bbb");
    label->setWidth(30);
    EXPECT_EQ(label->string(), "aaa\nbbb");
}

TEST_F(CCLabelBMFontGLTest, RefusesFontsThatCannotBeLoadedWithOneLogLine) {
    folder_.write("nopage.fnt", "common lineHeight=16\nchar id=65 width=4 height=4 xadvance=4\n");
    folder_.write("noimage.fnt", "common lineHeight=16\npage id=0 file=\"missing.png\"\n");
    for (const char* file : {"absent.fnt", "nopage.fnt", "noimage.fnt"}) {
        LogCapture log;
        EXPECT_EQ(CCLabelBMFont::labelWithString("A", file), nullptr) << file;
        EXPECT_EQ(log.lines().size(), 1u) << file;
    }
    const RefPtr<CCLabelBMFont> label = CCLabelBMFont::labelWithString("A", "font.fnt");
    LogCapture log;
    label->setFntFile("absent.fnt");
    EXPECT_EQ((std::tuple{label->fntFile(), glyphs(label.get()), log.lines().size()}),
              (std::tuple{std::string("font.fnt"), std::vector<Glyph>{{0, 6, 6}}, size_t{1}}));

    // Without a font nothing shows; beyond what one batch holds the rest is left out, logged.
    const RefPtr<CCLabelBMFont> empty = makeRef<CCLabelBMFont>();
    ASSERT_TRUE(empty->init());
    empty->setString("AB\nA");
    EXPECT_EQ(empty->contentSize(), CGSizeMake(0, 0));
    label->setString(std::string(CCTextureAtlas::kCCTextureAtlasMaxCapacity + 2, 'a'));
    EXPECT_EQ(label->children()->count(), CCTextureAtlas::kCCTextureAtlasMaxCapacity);
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST_F(CCLabelBMFontGLTest, DrawsItsGlyphsWhereLaidOutWithoutAllocatingPerFrame) {
    // Longer than any string kept inside its object, so that laying it out again would allocate.
    const std::string text = "AV\nBaaaaaaaaaaaaaaa";
    const RefPtr<CCLabelBMFont> label = CCLabelBMFont::labelWithString(text, "font.fnt");
    ASSERT_NE(label, nullptr);
    label->texture()->setAliasTexParameters();
    label->setAnchorPoint(CGPointZero);
    label->setPosition(CGPointMake(100, 100));
    scene_->addChild(label.get());
    runFrames(2);
    // A over x 101..111, V kerned over 109..119 and drawn after it; below, B and then the a's.
    const struct { int x, y; ccColor3B colour; } samples[] = {
        {104, 122, kCells[0]}, {110, 122, kCells[1]}, {117, 122, kCells[1]},
        {104, 106, kCells[2]}, {112, 106, kCells[3]}, {124, 122, {0, 0, 0}},
    };
    for (const auto& sample : samples) EXPECT_TRUE(pixelNear(sample.x, sample.y, sample.colour));

    AllocationCounter counter;
    for (int frame = 0; frame < 10; ++frame) {
        label->setString(text);
        runFrames(1);
    }
    EXPECT_EQ(counter.count(), 0u);
}

}  // namespace
