#include "engine/render/CCTiledGrid3D.h"

#include <algorithm>

#include "engine/core/CCTexture2D.h"
#include "platform/foundation/NamedException.h"

namespace {
// Tiles 16-bit indices can address, at four corners each.
constexpr int64_t kMaxTiles = 16384;
// blit hands the tiles to GL as one array of corners.
static_assert(sizeof(ccQuad3) == 4 * sizeof(ccVertex3F));
}  // namespace

RefPtr<CCTiledGrid3D> CCTiledGrid3D::gridWithSize(ccGridSize gridSize) { return made<CCTiledGrid3D>(gridSize); }

RefPtr<CCTiledGrid3D> CCTiledGrid3D::gridWithSize(ccGridSize gridSize, RefPtr<CCTexture2D> texture,
                                                  bool flippedTexture) {
    return made<CCTiledGrid3D>(gridSize, std::move(texture), flippedTexture);
}

size_t CCTiledGrid3D::slotOf(ccGridSize position) const {
    const ccGridSize size = gridSize();
    CC_REQUIRE(position.x >= 0 && position.x < size.x && position.y >= 0 && position.y < size.y, "NSRangeException",
               "tile (%lld, %lld) is outside a grid of %lld x %lld tiles", static_cast<long long>(position.x),
               static_cast<long long>(position.y), static_cast<long long>(size.x), static_cast<long long>(size.y));
    return static_cast<size_t>(position.x * size.y + position.y);
}

ccQuad3 CCTiledGrid3D::tile(ccGridSize position) const { return vertices_[slotOf(position)]; }

ccQuad3 CCTiledGrid3D::originalTile(ccGridSize position) const { return originalVertices_[slotOf(position)]; }

void CCTiledGrid3D::setTile(ccGridSize position, const ccQuad3& coords) { vertices_[slotOf(position)] = coords; }

void CCTiledGrid3D::blit() {
    drawTriangles(&vertices_.data()->bl, texCoordinates_.data(), indices_.data(),
                  static_cast<GLsizei>(indices_.size()));
}

void CCTiledGrid3D::reuse() {
    if (reuseGrid() <= 0) return;
    originalVertices_ = vertices_;
    setReuseGrid(reuseGrid() - 1);
}

void CCTiledGrid3D::calculateVertexPoints() {
    const ccGridSize size = gridSize();
    CC_REQUIRE(size.x <= kMaxTiles && size.y <= kMaxTiles && size.x * size.y <= kMaxTiles, "GridBase",
               "a grid of %lld x %lld tiles has more corners than 16-bit indices address",
               static_cast<long long>(size.x), static_cast<long long>(size.y));
    const auto w = static_cast<float>(texture()->pixelsWide()), h = static_cast<float>(texture()->pixelsHigh());
    const auto H = static_cast<float>(texture()->contentSizeInPixels().height);
    const CGPoint cell = step();
    const auto tiles = static_cast<size_t>(size.x * size.y);
    vertices_.assign(tiles, ccQuad3{});
    texCoordinates_.assign(tiles * 4, ccTex2F{});
    indices_.assign(tiles * 6, 0);
    size_t slot = 0;
    for (int64_t x = 0; x < size.x; ++x) {
        for (int64_t y = 0; y < size.y; ++y, ++slot) {
            const auto x1 = static_cast<float>(static_cast<double>(x) * cell.x);
            const auto x2 = static_cast<float>(x1 + cell.x);
            auto y1 = static_cast<float>(static_cast<double>(y) * cell.y);
            auto y2 = static_cast<float>(y1 + cell.y);
            vertices_[slot] = {{x1, y1, 0}, {x2, y1, 0}, {x1, y2, 0}, {x2, y2, 0}};
            if (isTextureFlipped()) {
                y1 = H - y1;
                y2 = H - y2;
            }
            ccTex2F* uv = &texCoordinates_[slot * 4];
            uv[0] = {x1 / w, y1 / h};
            uv[1] = {x2 / w, y1 / h};
            uv[2] = {x1 / w, y2 / h};
            uv[3] = {x2 / w, y2 / h};
            const auto k = static_cast<GLushort>(4 * slot);
            const GLushort triangles[6] = {k, GLushort(k + 1), GLushort(k + 2), GLushort(k + 1), GLushort(k + 2),
                                           GLushort(k + 3)};
            std::copy(triangles, triangles + 6, &indices_[slot * 6]);
        }
    }
    originalVertices_ = vertices_;
}
