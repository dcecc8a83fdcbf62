// The system-font label drawn through the real director, with a full-block glyph so that the text
// is a solid white rectangle whose place in the box can be sampled.

#include "engine/render/CCLabelTTF.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

constexpr const char* kBlock = "\xE2\x96\x88";  // U+2588: about 31 x 48 pixels at 40 pixels per em

class CCLabelTTFGLTest : public GLSceneTest {
protected:
    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCLabelTTFGLTest, EachAlignmentPlacesTheTextInItsBox) {
    // A 192 x 144 box centred in the window: x 64-256, y 48-192; samples half a glyph in from its edges.
    const auto label = CCLabelTTF::labelWithString(kBlock, "DejaVu Sans", 40, CGSizeMake(192, 144), 0);
    ASSERT_NE(label, nullptr);
    label->setPosition(CGPointMake(160, 120));
    scene_->addChild(label.get());
    const int xs[] = {76, 160, 244}, ys[] = {169, 120, 71};
    for (int alignment = 0; alignment < 9; ++alignment) {
        label->setHorizontalAlignment(alignment % 3);
        label->setVerticalAlignment(alignment / 3);
        runFrames(1);
        for (int sample = 0; sample < 9; ++sample) {
            const uint8_t shade = sample == alignment ? 255 : 0;
            EXPECT_TRUE(pixelNear(xs[sample % 3], ys[sample / 3], {shade, shade, shade})) << alignment;
        }
    }
}

TEST_F(CCLabelTTFGLTest, RendersAgainOnlyOnARealChange) {
    const auto label = CCLabelTTF::labelWithString(kBlock, "DejaVu Sans", 40, CGSizeMake(200, 0), 0);
    ASSERT_NE(label, nullptr);
    const RefPtr<CCTexture2D> first(label->texture());
    EXPECT_LT(label->contentSize().width, 100);  // one zero side fits the text
    label->setString(std::string(kBlock));
    label->setFontSize(40);
    label->setDimensions(CGSizeMake(200, 0));
    EXPECT_EQ(label->texture(), first.get());
    label->setString(std::string(kBlock) + kBlock);
    EXPECT_GT(label->contentSize().width, first->contentSize().width * 1.5);
    // Empty text shows nothing, rather than the previous text.
    label->setString("");
    EXPECT_EQ(label->texture(), nullptr);
    EXPECT_EQ(label->contentSize(), CGSizeZero);
}

TEST_F(CCLabelTTFGLTest, FontFilesRegisterByBaseNameAndUnusableFontsAreRefusedOnce) {
    folder_.write("Blocky.TTF", readFileBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    folder_.write("Broken.ttf", "not a font");
    const auto label = CCLabelTTF::labelWithString(kBlock, "Blocky.TTF", 40);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->fontName(), "Blocky");
    EXPECT_NE(CCLabelTTF::labelWithString(kBlock, "blocky", 40), nullptr);
    for (const auto& [font, size, line] : {std::tuple{"No Such Family", 40.0, "font No Such Family not found"},
                                           {"Blocky", 0.0, "font size 0 is out of range"},
                                           {"Blocky", -3.0, "font size -3 is out of range"},
                                           {"Broken.ttf", 40.0, "cannot be registered"}}) {
        LogCapture capture;
        EXPECT_EQ(CCLabelTTF::labelWithString(kBlock, font, size), nullptr) << font;
        EXPECT_EQ(capture.lines().size(), 1u) << font;
        EXPECT_TRUE(capture.contains(line)) << font;
        // Refused by a label that shows text, which keeps what it shows.
        const CCTexture2D* shown = label->texture();
        label->setFontName(font);
        label->setFontSize(static_cast<float>(size));
        EXPECT_EQ(label->texture(), shown) << font;
        EXPECT_EQ(label->fontName(), "Blocky") << font;
    }
}

}  // namespace
