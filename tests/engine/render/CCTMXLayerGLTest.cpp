// Tiled maps built from generated TMX text over a picture of two 32 x 32 tiles: GID 1 has four
// solid 16 x 16 quadrants (red top-left, green top-right, blue bottom-left, yellow bottom-right),
// GID 2 is solid magenta.

#include "engine/render/CCTMXTiledMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TMXTestMaps.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

constexpr ccColor3B kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};
constexpr ccColor3B kMagenta{255, 0, 255}, kBlack{0, 0, 0};

// A layer of width x height tiles; `gids` (when any) as base64 data.
std::string layerXML(const char* name, int width, int height, const std::vector<uint32_t>& gids,
                     const std::string& extra = "") {
    const std::string data = gids.empty() ? "" : "<data encoding=\"base64\">" + base64(littleEndian(gids)) + "</data>";
    return stringWithFormat("<layer name=\"%s\" width=\"%d\" height=\"%d\" %s>", name, width, height, extra.c_str()) +
           data + "</layer>";
}

// A map whose tileset of first GID 1 is the picture.
std::string mapXML(const char* orientation, int width, int height, int tileWidth, int tileHeight,
                   const std::string& body) {
    return stringWithFormat(R"(<map orientation="%s" width="%d" height="%d" tilewidth="%d" tileheight="%d">)"
                            R"(<tileset firstgid="1" tilewidth="32" tileheight="32"><image source="tiles.png"/>)",
                            orientation, width, height, tileWidth, tileHeight) +
           "</tileset>" + body + "</map>";
}

class CCTMXLayerGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        std::vector<uint8_t> pixels(64 * 32 * 4, 255);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x) {
                const ccColor3B c = x >= 32 ? kMagenta : y < 16 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kYellow);
                uint8_t* p = &pixels[(y * 64 + x) * 4];
                p[0] = c.r, p[1] = c.g, p[2] = c.b;
            }
        }
        ASSERT_TRUE(Image(64, 32, true, std::move(pixels)).writePNG(folder_.file("tiles.png")));
        glClearColor(0, 0, 0, 1);
    }

    RefPtr<CCTMXTiledMap> map(const std::string& xml) {
        RefPtr<CCTMXTiledMap> map = CCTMXTiledMap::tiledMapWithXML(xml, folder_.path());
        EXPECT_NE(map, nullptr);
        return map;
    }

    // The x of every atlas quad's bottom-left corner over 32: the column of an unturned tile.
    static std::vector<int> quadColumns(CCTMXLayer* layer) {
        std::vector<int> columns;
        for (uint64_t i = 0; i < layer->textureAtlas()->totalQuads(); ++i) {
            columns.push_back(int(layer->textureAtlas()->quads()[i].bl.vertices.x) / 32);
        }
        return columns;
    }

    TemporaryFolder folder_;
};

}  // namespace

TEST_F(CCTMXLayerGLTest, VisibleLayersTakeTheHighestTilesetTheirTilesReach) {
    const RefPtr<CCTMXTiledMap> tiled = map(mapXML(
        "orthogonal", 4, 2, 32, 32,
        R"(<tileset firstgid="101" tilewidth="32" tileheight="32"><image source="tiles.png"/></tileset>)" +
            layerXML("A", 2, 2, {0, 50, 1, 0}) + layerXML("B", 2, 2, {101}, "visible=\"0\"") +
            layerXML("C", 2, 2, {1, 0, 0, 101 | kCCTMXTileHorizontalFlag}) + layerXML("D", 4, 1, {})));
    ASSERT_EQ(tiled->children()->count(), 3u);
    CCTMXLayer *a = tiled->layerNamed("A"), *c = tiled->layerNamed("C"), *d = tiled->layerNamed("D");
    ASSERT_TRUE(a && c && d && !tiled->layerNamed("B"));
    EXPECT_EQ((std::vector<int64_t>{a->zOrder(), a->tag(), c->zOrder(), c->tag(), a->tileset()->firstGid(),
                                    c->tileset()->firstGid()}),
              (std::vector<int64_t>{0, 0, 1, 1, 1, 101}));
    EXPECT_EQ(d->tileset(), nullptr);
    EXPECT_EQ(tiled->contentSize(), CGSizeMake(128, 64));
}

TEST_F(CCTMXLayerGLTest, PlacesTilesByOrientationAndOffset) {
    const struct {
        const char* orientation;
        int tileWidth;
        CGPoint tile, expected, offset;  // offset: of a layer at x="3" y="-1"
    } cases[] = {
        {"orthogonal", 32, {0, 0}, {0, 288}, {96, 32}}, {"orthogonal", 32, {9, 9}, {288, 0}, {96, 32}},
        {"isometric", 64, {0, 0}, {288, 288}, {128, -32}}, {"isometric", 64, {9, 0}, {576, 144}, {128, -32}},
        {"hexagonal", 32, {0, 0}, {0, 288}, {0, 0}}, {"hexagonal", 32, {1, 0}, {24, 272}, {0, 0}},
        {"hexagonal", 32, {2, 0}, {48, 288}, {0, 0}},
    };
    for (const auto& c : cases) {
        const RefPtr<CCTMXTiledMap> tiled =
            map(mapXML(c.orientation, 10, 10, c.tileWidth, 32, layerXML("L", 10, 10, {}, "x=\"3\" y=\"-1\"")));
        CCTMXLayer* layer = tiled->layerNamed("L");
        EXPECT_EQ((std::vector{layer->positionAt(c.tile), layer->position()}), (std::vector{c.expected, c.offset}))
            << c.orientation << " " << c.tile.x;
    }
    std::vector<uint32_t> gids(100, 0);
    gids[0] = gids[90] = 1;  // rows 0 and 9
    const RefPtr<CCTMXTiledMap> tiled = map(mapXML(
        "orthogonal", 10, 10, 32, 32,
        layerXML("Z", 10, 10, gids, "><properties><property name=\"cc_vertexz\" value=\"automatic\"/></properties")));
    CCTMXLayer* layer = tiled->layerNamed("Z");
    EXPECT_EQ(layer->contentSize(), CGSizeMake(320, 320));
    EXPECT_EQ((std::vector{layer->tileAt({0, 0})->vertexZ(), layer->tileAt({0, 9})->vertexZ()}),
              (std::vector<float>{-10, -1}));
}

TEST_F(CCTMXLayerGLTest, DrawsEachTileMirroredAndTurnedByItsFlagBits) {
    constexpr uint32_t H = kCCTMXTileHorizontalFlag, V = kCCTMXTileVerticalFlag, D = kCCTMXTileDiagonalFlag;
    const RefPtr<CCTMXTiledMap> tiled =
        map(mapXML("orthogonal", 6, 1, 32, 32, layerXML("L", 6, 1, {1, 1 | H, 1 | V, 1 | D | H, 1 | D, 2})));
    scene_->addChild(tiled.get());
    runFrames(1);
    // Top-left, top-right, bottom-left, bottom-right quadrant of each tile on screen.
    const std::vector<std::vector<ccColor3B>> expected = {
        {kRed, kGreen, kBlue, kYellow},   {kGreen, kRed, kYellow, kBlue},      {kBlue, kYellow, kRed, kGreen},
        {kBlue, kRed, kYellow, kGreen},   {kRed, kBlue, kGreen, kYellow},      {kMagenta, kMagenta, kMagenta, kMagenta},
    };
    for (int tile = 0; tile < 6; ++tile) {
        for (int q = 0; q < 4; ++q) EXPECT_TRUE(pixelNear(tile * 32 + 8 + q % 2 * 16, 24 - q / 2 * 16, expected[tile][q]));
    }
    CCTMXLayer* layer = tiled->layerNamed("L");
    layer->setTileGID(2, {0, 0});
    layer->removeTileAt({5, 0});
    runFrames(1);
    EXPECT_TRUE(pixelNear(8, 24, kMagenta));
    EXPECT_TRUE(pixelNear(5 * 32 + 16, 16, kBlack));
}

TEST_F(CCTMXLayerGLTest, SettingAndRemovingTilesKeepsQuadsInPositionOrder) {
    const RefPtr<CCTMXTiledMap> tiled = map(mapXML("orthogonal", 4, 1, 32, 32, layerXML("L", 4, 1, {1, 0, 0, 1})));
    CCTMXLayer* layer = tiled->layerNamed("L");
    CCSprite* last = layer->tileAt({3, 0});
    ASSERT_TRUE(last && layer->tileAt({3, 0}) == last && !layer->tileAt({1, 0}));

    layer->setTileGID(2, {1, 0});
    layer->visit();  // the tile sprite rewrites its quad where it now is
    EXPECT_EQ(quadColumns(layer), (std::vector{0, 1, 3}));
    EXPECT_EQ(last->atlasIndex(), 2u);
    layer->removeTileAt({0, 0});
    layer->setTileGID(2, {2, 0}, kCCTMXTileHorizontalFlag);
    uint32_t flags = 0;
    EXPECT_EQ(layer->tileGIDAt({2, 0}, &flags) | flags, 2u | kCCTMXTileHorizontalFlag);
    layer->visit();
    EXPECT_EQ(quadColumns(layer), (std::vector{1, 2, 3}));
    EXPECT_EQ(last->atlasIndex(), 2u);

    layer->setTileGID(0, {3, 0});  // removes the tile and its sprite
    layer->removeChild(layer->tileAt({1, 0}), true);
    EXPECT_TRUE(!layer->tileAt({3, 0}) && layer->tileGIDAt({1, 0}) == 0 && layer->children()->count() == 0);
    EXPECT_EQ(quadColumns(layer), (std::vector{2}));

    EXPECT_THROW(layer->tileGIDAt({4, 0}), NamedException);
    EXPECT_THROW(layer->setTileGID(1, {-1, 0}), NamedException);
    layer->releaseMap();
    layer->setTileGID(1, {0, 0});
    layer->removeTileAt({2, 0});
    EXPECT_TRUE(!layer->tileAt({2, 0}) && layer->textureAtlas()->totalQuads() == 1);
}

TEST_F(CCTMXLayerGLTest, NewTilesReplaceEveryQuadAndSizesThatDoNotFitAreRefused) {
    constexpr uint32_t H = kCCTMXTileHorizontalFlag;
    const RefPtr<CCTMXTiledMap> tiled = map(mapXML("orthogonal", 4, 1, 32, 32, layerXML("L", 4, 1, {1, 0, 0, 1})));
    scene_->addChild(tiled.get());
    CCTMXLayer* layer = tiled->layerNamed("L");
    ASSERT_NE(layer->tileAt({3, 0}), nullptr);
    const std::vector<uint32_t> before = layer->tiles();

    LogCapture log;
    layer->setTiles({2, 2, 2});
    layer->setTiles(std::vector<uint32_t>(5, 2));
    layer->setLayerSize({3, 1});
    layer->setLayerSize({2.5, 2});
    layer->setLayerSize({0.5, 8});  // as many tiles as it holds, but no whole number of columns
    EXPECT_EQ(log.lines().size(), 5u);
    EXPECT_EQ(layer->tiles(), before);
    EXPECT_EQ(layer->layerSize(), CGSizeMake(4, 1));
    EXPECT_EQ(quadColumns(layer), (std::vector{0, 3}));

    // Flag bits alone make no tile; the old tile sprite goes with the old tiles.
    layer->setTiles({H, 2 | H, 0, 2});
    EXPECT_EQ(layer->children()->count(), 0u);
    EXPECT_EQ(quadColumns(layer), (std::vector{1, 3}));
    EXPECT_EQ((std::vector{layer->tileGIDAt({0, 0}), layer->tileGIDAt({1, 0}), layer->tileGIDAt({3, 0})}),
              (std::vector<uint32_t>{0, 2, 2}));
    runFrames(1);
    for (auto [column, colour] : {std::pair{0, kBlack}, {1, kMagenta}, {2, kBlack}, {3, kMagenta}}) {
        EXPECT_TRUE(pixelNear(column * 32 + 16, 16, colour)) << column;
    }
    // Changes find the quads where the new tiles put them.
    layer->setTileGID(1, {2, 0});
    layer->removeChild(layer->tileAt({1, 0}), true);
    EXPECT_EQ(quadColumns(layer), (std::vector{2, 3}));

    // Another number of tiles: released first, then sized, then set.
    layer->releaseMap();
    layer->setLayerSize({2, 1});
    layer->setTiles({0, 1});
    EXPECT_EQ(quadColumns(layer), (std::vector{1}));
    EXPECT_EQ(log.lines().size(), 5u);

    // More tiles than a layer draws are refused: the released layer stays empty, its quads as they were.
    layer->releaseMap();
    layer->setLayerSize({CCTextureAtlas::kCCTextureAtlasMaxCapacity + 1, 1});
    layer->setTiles(std::vector<uint32_t>(CCTextureAtlas::kCCTextureAtlasMaxCapacity + 1, 2));
    EXPECT_TRUE(layer->tiles().empty());
    EXPECT_EQ(quadColumns(layer), (std::vector{1}));
    ASSERT_EQ(log.lines().size(), 6u);
    EXPECT_EQ(log.lines().back(), "Lumora: TMX layer L has 16385 tiles, more than the 16384 a layer draws; refused");
}
