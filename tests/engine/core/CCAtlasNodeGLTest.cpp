// The atlas node drawn by the real director: the colour and opacity tint of premultiplied and
// straight-alpha textures read back from the frame, the item grid, and one draw call per node.

#include "engine/core/CCAtlasNode.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/NamedException.h"
#include "platform/image/Image.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

constexpr ccColor3B kBlue{0, 0, 255};

// A row of items, the way the character-map label lays out its text: item i of the texture's top
// row drawn at (i x item width, 0), item-sized.
class TileRow : public CountingDrawCalls<CCAtlasNode> {
public:
    static RefPtr<TileRow> rowWithTileFile(const std::string& file, uint64_t width, uint64_t height, uint64_t items) {
        RefPtr<TileRow> row = makeRef<TileRow>();
        return row->initWithTileFile(file, width, height, items) ? row : nullptr;
    }

    void updateAtlasValues() override {
        const float w = static_cast<float>(itemWidth_), h = static_cast<float>(itemHeight_);
        const float itemS = w / texture()->pixelsWide(), itemT = h / texture()->pixelsHigh();
        const ccColor4B white{255, 255, 255, 255};
        for (uint64_t i = 0; i < quadsToDraw_; ++i) {
            const float x = i * w, s = (i % itemsPerRow_) * itemS;
            ccV3F_C4B_T2F_Quad quad;
            quad.bl = {{x, 0, 0}, white, {s, itemT}};
            quad.br = {{x + w, 0, 0}, white, {s + itemS, itemT}};
            quad.tl = {{x, h, 0}, white, {s, 0}};
            quad.tr = {{x + w, h, 0}, white, {s + itemS, 0}};
            textureAtlas_->updateQuad(&quad, i);
        }
    }
};

class CCAtlasNodeGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        // White pictures of 256 x 64: one with an alpha channel (premultiplied when loaded), one
        // without.
        std::vector<uint8_t> white(256 * 64 * 4, 255);
        ASSERT_TRUE(Image(256, 64, true, white).writePNG(folder_.file("tiles.png")));
        ASSERT_TRUE(Image(256, 64, false, white).writePNG(folder_.file("opaque.png")));
        // Drawn over blue, so that the blend function shows.
        glClearColor(0, 0, 1, 1);
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCAtlasNodeGLTest, PremultipliedTextureTintsWithThePremultipliedColour) {
    RefPtr<TileRow> row = TileRow::rowWithTileFile("tiles.png", 16, 32, 3);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->itemsPerColumn(), 2u);
    row->updateAtlasValues();
    scene_->addChild(row.get());
    runFrames(1);
    EXPECT_EQ(row->drawCalls, 1u);
    EXPECT_TRUE(pixelNear(40, 16, {255, 255, 255}));
    EXPECT_TRUE(pixelNear(48, 16, kBlue));  // past the third item

    // Opacity 128 over (255, 100, 0): the shader gets (128, 50, 0) and alpha 128, which blends
    // one-to-(1 - alpha) over the blue.
    row->setColor({255, 100, 0});
    row->setOpacity(128);
    runFrames(1);
    EXPECT_TRUE(pixelNear(40, 16, {128, 50, 127}));

    // Without the premultiplication the colour goes to the shader as set.
    // Fewer quads to draw than the atlas holds.
    row->setOpacityModifyRGB(false);
    row->setQuadsToDraw(1);
    runFrames(1);
    EXPECT_TRUE(pixelNear(8, 16, {255, 100, 127}));
    EXPECT_TRUE(pixelNear(24, 16, kBlue));

    // Steady frames with a changing tint allocate nothing.
    AllocationCounter counter;
    for (uint8_t opacity = 100; opacity < 120; ++opacity) {
        row->setOpacity(opacity);
        runFrames(1);
    }
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(CCAtlasNodeGLTest, StraightAlphaTextureBlendsWithItsAlpha) {
    RefPtr<TileRow> row = TileRow::rowWithTileFile("opaque.png", 16, 32, 2);
    ASSERT_NE(row, nullptr);
    row->setColor({255, 100, 0});
    row->setOpacity(128);
    row->updateAtlasValues();
    row->setPosition({100, 100});
    scene_->addChild(row.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(124, 116, {128, 50, 127}));

    // A premultiplied texture turns premultiplication on but keeps the blend function, as set.
    RefPtr<TileRow> other = TileRow::rowWithTileFile("tiles.png", 16, 32, 1);
    ASSERT_NE(other, nullptr);
    row->setTexture(RefPtr(other->texture()));
    EXPECT_TRUE(row->doesOpacityModifyRGB());
    EXPECT_EQ(row->blendFunc(), (ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
}

TEST_F(CCAtlasNodeGLTest, MadeOnlyFromALoadableImageAndFilledBySubclasses) {
    EXPECT_EQ(CCAtlasNode::atlasWithTileFile("missing.png", 16, 16, 4), nullptr);
    EXPECT_EQ(CCAtlasNode::atlasWithTileFile("tiles.png", 16, 16, CCTextureAtlas::kCCTextureAtlasMaxCapacity + 1),
              nullptr);

    // An item size of zero fits no items rather than dividing by zero.
    RefPtr<CCAtlasNode> empty = CCAtlasNode::atlasWithTileFile("tiles.png", 0, 0, 1);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->itemsPerRow(), 0u);
    EXPECT_THROW(empty->updateAtlasValues(), NamedException);  // the subclass's job

    // A node made without the initialiser has no atlas and draws nothing.
    auto bare = makeRef<CCAtlasNode>();
    scene_->addChild(bare.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(8, 8, kBlue));
}

}  // namespace
