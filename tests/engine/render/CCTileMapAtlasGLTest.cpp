// The tile-map atlas over generated TGA maps and a 128 x 64 tile picture of 32 x 32 tiles, four to
// a row.

#include "engine/render/CCTileMapAtlas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/CCTextureAtlas.h"
#include "platform/foundation/NamedException.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

// A TGA file of `type` and `depth` holding `pixels` (bottom row first, R, G, B(, A) each).
std::string tga(int width, int height, int type, int depth, const std::vector<uint8_t>& pixels) {
    std::string file{0, 0, char(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, char(width), char(width >> 8), char(height),
                     char(height >> 8), char(depth), 0};
    const size_t bytes = depth / 8;
    for (size_t i = 0; i + bytes <= pixels.size(); i += bytes) {
        std::string pixel(pixels.begin() + i, pixels.begin() + i + bytes);
        if (bytes >= 3) std::swap(pixel[0], pixel[2]);  // stored B, G, R
        file += pixel;
    }
    return file;
}

class CCTileMapAtlasGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        ASSERT_TRUE(Image(128, 64, true, std::vector<uint8_t>(128 * 64 * 4, 255)).writePNG(folder_.file("tiles.png")));
    }

    RefPtr<CCTileMapAtlas> atlas(const std::string& mapFile, int32_t tileSide = 32) {
        return CCTileMapAtlas::tileMapAtlasWithTileFile(folder_.file("tiles.png"), mapFile, tileSide, tileSide);
    }

    // Cells (0, 0), (1, 0), (0, 1), (1, 1) with red 0, 3, 0, 1; green and blue are noise.
    const std::vector<uint8_t> cells_{0, 0, 0, 3, 7, 7, 0, 9, 0, 1, 200, 100};
    TemporaryFolder folder_;
};

}  // namespace

TEST_F(CCTileMapAtlasGLTest, OneQuadPerNonEmptyCellColumnByColumn) {
    const RefPtr<CCTileMapAtlas> map = atlas(folder_.write("m.tga", tga(2, 2, 2, 24, cells_)));
    ASSERT_TRUE(map && map->itemsToRender() == 2);
    EXPECT_EQ(map->contentSize(), CGSizeMake(64, 64));
    const ccV3F_C4B_T2F_Quad* quads = map->textureAtlas()->quads();
    // Quad 0 is cell (1, 0) showing tile 3, quad 1 cell (1, 1) showing tile 1.
    EXPECT_EQ((std::vector{quads[0].bl.vertices.x, quads[0].bl.vertices.y, quads[0].tl.texCoords.u,
                           quads[1].bl.vertices.y, quads[1].tr.vertices.x, quads[1].tl.texCoords.u}),
              (std::vector<float>{32, 0, 0.75f, 32, 64, 0.25f}));

    map->setTile({5, 5, 5}, {0, 0});  // an empty cell has no quad to change
    map->setTile({6, 1, 2}, {1, 0});  // tile 6: row 1, column 2
    EXPECT_EQ((std::vector{map->tileAt({0, 0}), map->tileAt({1, 0})}), (std::vector<ccColor3B>{{0, 0, 0}, {6, 1, 2}}));
    EXPECT_EQ((std::vector{quads[0].tl.texCoords.u, quads[0].tl.texCoords.v, quads[0].br.texCoords.v}),
              (std::vector<float>{0.5f, 0.5f, 1.0f}));
    EXPECT_THROW(map->tileAt({2, 0}), NamedException);  // outside the map

    map->releaseMap();
    map->setTile({1, 0, 0}, {1, 0});
    EXPECT_EQ(map->tileAt({1, 0}), (ccColor3B{0, 0, 0}));
    EXPECT_EQ(quads[0].tl.texCoords.u, 0.5f);
}

TEST_F(CCTileMapAtlasGLTest, AcceptsOnly24And32BitMaps) {
    std::vector<uint8_t> rgba;
    for (size_t i = 0; i < cells_.size(); i += 3) rgba.insert(rgba.end(), {cells_[i], cells_[i + 1], cells_[i + 2], 128});
    const RefPtr<CCTileMapAtlas> wide = atlas(folder_.write("rgba.tga", tga(2, 2, 2, 32, rgba)));
    ASSERT_TRUE(wide && wide->tileAt({1, 1}) == (ccColor3B{1, 200, 100}));
    EXPECT_EQ(wide->textureAtlas()->quads()[1].tl.texCoords.u, 0.25f);

    const std::string refused[] = {
        tga(2, 2, 3, 8, {0, 3, 0, 1}), tga(2, 2, 2, 16, {0, 0, 3, 0, 0, 0, 1, 0}),
        tga(2, 2, 2, 24, cells_).substr(0, 25), "",
    };
    for (const std::string& file : refused) {
        try {
            atlas(folder_.write("bad.tga", file));
            ADD_FAILURE() << "accepted a map of " << file.size() << " bytes";
        } catch (const NamedException& e) {
            EXPECT_EQ(e.name(), "TileMapAtlasLoadTGA");
        }
    }
    // Tiles wider than the picture leave none across it: nothing is drawn.
    EXPECT_EQ(atlas(folder_.write("m.tga", tga(2, 2, 2, 24, cells_)), 200)->quadsToDraw(), 0u);
}
