#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/actions/grid/CCFadeOutTRTiles.h"
#include "engine/actions/grid/CCFlipX3D.h"
#include "engine/actions/grid/CCJumpTiles3D.h"
#include "engine/actions/grid/CCPageTurn3D.h"
#include "engine/actions/grid/CCShuffleTiles.h"
#include "engine/actions/grid/CCSplitCols.h"
#include "engine/actions/grid/CCTurnOffTiles.h"
#include "engine/render/CCGrid3D.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCTiledGrid3D.h"
#include "platform/foundation/NamedException.h"
#include "tests/engine/render/SpriteGLTest.h"

namespace {

using CCGridGLTest = SpriteGLTest;

// A texture of 64 x 32 pixels whose picture is the bottom-left 48 x 24.
RefPtr<CCTexture2D> pictureTexture() {
    const std::vector<uint8_t> zeros(64 * 32 * 4);
    auto texture = makeRef<CCTexture2D>();
    EXPECT_TRUE(texture->initWithData(zeros.data(), kCCTexture2DPixelFormat_RGBA8888, 64, 32, CGSizeMake(48, 24)));
    return texture;
}

// The name of the NamedException the call throws, or "" when it throws none.
std::string thrownName(const std::function<void()>& call) {
    try {
        call();
    } catch (const NamedException& e) {
        return e.name();
    }
    return "";
}

TEST_F(CCGridGLTest, WindowGridCapturesIntoAPowerOfTwoTextureCutIntoCells) {
    RefPtr<CCGrid3D> grid = CCGrid3D::gridWithSize({16, 12});
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->texture()->pixelsWide(), 512u);
    EXPECT_EQ(grid->texture()->pixelsHigh(), 256u);
    EXPECT_EQ(grid->texture()->contentSizeInPixels(), CGSizeMake(kWidth, kHeight));
    EXPECT_EQ(grid->step(), CGPointMake(20, 20));
    EXPECT_FALSE(grid->active());
    EXPECT_EQ(grid->vertex({16, 12}), (ccVertex3F{320, 240, 0}));
    EXPECT_EQ(grid->vertex({3, 5}), (ccVertex3F{60, 100, 0}));
}

TEST_F(CCGridGLTest, MeshesAreIndexedAsTheirLayoutsSay) {
    RefPtr<CCGrid3D> single = CCGrid3D::gridWithSize({1, 1}, pictureTexture(), false);
    EXPECT_EQ(single->indices(), (std::vector<GLushort>{0, 2, 1, 2, 3, 1}));
    // Cell (1, 0) of a 2 x 2 lattice: corners a = 3, b = 6, c = 7, d = 4, at element 6.
    RefPtr<CCGrid3D> lattice = CCGrid3D::gridWithSize({2, 2}, pictureTexture(), false);
    EXPECT_EQ(std::vector<GLushort>(lattice->indices().begin() + 6, lattice->indices().begin() + 12),
              (std::vector<GLushort>{3, 6, 4, 6, 7, 4}));
    RefPtr<CCTiledGrid3D> tiles = CCTiledGrid3D::gridWithSize({2, 1}, pictureTexture(), false);
    EXPECT_EQ(tiles->indices(), (std::vector<GLushort>{0, 1, 2, 1, 2, 3, 4, 5, 6, 5, 6, 7}));
    const ccQuad3 second = tiles->tile({1, 0});
    EXPECT_EQ(second.bl, (ccVertex3F{24, 0, 0}));
    EXPECT_EQ(second.tr, (ccVertex3F{48, 24, 0}));
}

// Texture coordinates of the picture's corners, bottom-left then top-right, as the mesh maps them:
// plain rows put the picture's bottom at v = 0, flipped rows at the top of the picture (24 / 32).
TEST_F(CCGridGLTest, FlippedTexturesMirrorTheCoordinatesOfBothMeshes) {
    for (bool flipped : {false, true}) {
        const float bottom = flipped ? 0.75f : 0, top = flipped ? 0 : 0.75f;
        RefPtr<CCGrid3D> lattice = CCGrid3D::gridWithSize({1, 1}, pictureTexture(), flipped);
        EXPECT_EQ(lattice->texCoordinates()[0], (ccTex2F{0, bottom})) << flipped;
        EXPECT_EQ(lattice->texCoordinates()[3], (ccTex2F{0.75f, top})) << flipped;
        RefPtr<CCTiledGrid3D> tiles = CCTiledGrid3D::gridWithSize({1, 1}, pictureTexture(), flipped);
        EXPECT_EQ(tiles->texCoordinates()[0], (ccTex2F{0, bottom})) << flipped;
        EXPECT_EQ(tiles->texCoordinates()[3], (ccTex2F{0.75f, top})) << flipped;
    }
}

TEST_F(CCGridGLTest, OnlyAChangedFlipRebuildsTheMesh) {
    RefPtr<CCGrid3D> grid = CCGrid3D::gridWithSize({1, 1}, pictureTexture(), false);
    grid->setVertex({1, 1}, {1, 2, 3});
    grid->setIsTextureFlipped(false);
    EXPECT_EQ(grid->vertex({1, 1}), (ccVertex3F{1, 2, 3}));
    grid->setIsTextureFlipped(true);
    EXPECT_EQ(grid->vertex({1, 1}), (ccVertex3F{48, 24, 0}));
}

TEST_F(CCGridGLTest, ReuseTakesTheDeformationOnlyWithAPermit) {
    RefPtr<CCTiledGrid3D> grid = CCTiledGrid3D::gridWithSize({1, 1}, pictureTexture(), false);
    const ccQuad3 moved{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
    grid->setTile({0, 0}, moved);
    grid->reuse();
    EXPECT_EQ(grid->originalTile({0, 0}).tr, (ccVertex3F{48, 24, 0}));
    grid->setReuseGrid(1);
    grid->reuse();
    EXPECT_EQ(grid->originalTile({0, 0}).tr, moved.tr);
    EXPECT_EQ(grid->reuseGrid(), 0);
}

TEST_F(CCGridGLTest, SizesWithoutCellsOrBeyondSixteenBitIndicesAreRefused) {
    const struct {
        ccGridSize size;
        bool lattice;  // CCGrid3D, else CCTiledGrid3D
        const char* thrown;
    } cases[] = {
        {{0, 1}, true, "GridBase"},        {{1, 0}, false, "GridBase"},
        {{-1, 5}, true, "GridBase"},       {{255, 255}, true, ""},  // 65,536 lattice points
        {{256, 255}, true, "GridBase"},    {{1LL << 40, 1}, true, "GridBase"},
        {{128, 128}, false, ""},           {{129, 128}, false, "GridBase"},
        {{1, 16385}, false, "GridBase"},   {{1LL << 40, 1LL << 40}, false, "GridBase"},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(thrownName([&] {
                      if (each.lattice) {
                          CCGrid3D::gridWithSize(each.size, pictureTexture(), false);
                      } else {
                          CCTiledGrid3D::gridWithSize(each.size, pictureTexture(), false);
                      }
                  }),
                  each.thrown)
            << each.size.x << " x " << each.size.y << (each.lattice ? " lattice" : " tiles");
    }
}

TEST_F(CCGridGLTest, ReadsAndWritesOutsideTheMeshThrow) {
    RefPtr<CCGrid3D> lattice = CCGrid3D::gridWithSize({2, 1}, pictureTexture(), false);
    RefPtr<CCTiledGrid3D> tiles = CCTiledGrid3D::gridWithSize({2, 1}, pictureTexture(), false);
    const std::function<void()> outside[] = {
        [&] { lattice->vertex({3, 0}); },           [&] { lattice->originalVertex({0, 2}); },
        [&] { lattice->setVertex({-1, 0}, {}); },   [&] { tiles->tile({2, 0}); },
        [&] { tiles->originalTile({0, 1}); },       [&] { tiles->setTile({0, -1}, {}); },
    };
    for (const auto& call : outside) EXPECT_EQ(thrownName(call), "NSRangeException");
    EXPECT_EQ(thrownName([&] { lattice->setVertex({2, 1}, {}); }), "");
}

// Effects that leave the picture as it is at their start, on a node of sprites and on a sprite
// batch: the frame drawn through the grid matches the one drawn without it pixel for pixel.
TEST_F(CCGridGLTest, AnEffectAtItsStartDrawsThePlainScene) {
    const std::function<RefPtr<CCAction>()> effects[] = {
        [] { return CCFlipX3D::actionWithDuration(100); },
        [] { return CCPageTurn3D::actionWithSize({16, 12}, 100); },
        [] { return CCShuffleTiles::actionWithSeed(7, {16, 12}, 100); },
        [] { return CCFadeOutTRTiles::actionWithSize({16, 12}, 100); },
        [] { return CCTurnOffTiles::actionWithSeed(7, {16, 12}, 100); },
        [] { return CCSplitCols::actionWithCols(3, 100); },
        [] { return CCJumpTiles3D::actionWithJumps(2, 30, {8, 6}, 100); },
    };
    for (bool batched : {false, true}) {
        RefPtr<CCNode> holder = batched ? RefPtr<CCNode>(CCSpriteBatchNode::batchNodeWithTexture(texture_, 4))
                                        : CCNode::node();
        for (CGPoint at : {CGPointMake(50, 60), CGPointMake(250, 170), CGPointMake(170, 90)}) {
            RefPtr<CCSprite> sprite = CCSprite::spriteWithTexture(texture_);
            sprite->setPosition(at);
            sprite->setScale(1.5f);
            holder->addChild(sprite.get());
        }
        scene_->addChild(holder.get());
        runFrames(1);
        const std::vector<uint8_t> plain = grabber_->pixels;
        ASSERT_TRUE(cellsAt(50, 60, {kRed, kGreen, kBlue, kYellow}));
        for (const auto& effect : effects) {
            RefPtr<CCAction> action = effect();
            holder->runAction(action.get());
            runFrames(1);
            ASSERT_NE(holder->grid(), nullptr);
            EXPECT_TRUE(holder->grid()->active());
            size_t differing = 0;
            for (size_t i = 0; i < plain.size(); ++i) differing += plain[i] != grabber_->pixels[i];
            EXPECT_EQ(differing, 0u) << className(*action) << (batched ? " on a batch" : " on a node") << "; frame "
                                     << saveFrame();
            holder->stopAllActions();
        }
        holder->removeFromParentAndCleanup(true);
    }
}

}  // namespace
