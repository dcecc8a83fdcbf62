#include "engine/render/CCGrid3D.h"

#include <algorithm>

#include "engine/core/CCTexture2D.h"
#include "platform/foundation/NamedException.h"

namespace {
// Lattice points 16-bit indices can address.
constexpr int64_t kMaxPoints = 65536;
}  // namespace

RefPtr<CCGrid3D> CCGrid3D::gridWithSize(ccGridSize gridSize) { return made<CCGrid3D>(gridSize); }

RefPtr<CCGrid3D> CCGrid3D::gridWithSize(ccGridSize gridSize, RefPtr<CCTexture2D> texture, bool flippedTexture) {
    return made<CCGrid3D>(gridSize, std::move(texture), flippedTexture);
}

size_t CCGrid3D::elementOf(ccGridSize position) const {
    const ccGridSize size = gridSize();
    CC_REQUIRE(position.x >= 0 && position.x <= size.x && position.y >= 0 && position.y <= size.y, "NSRangeException",
               "lattice point (%lld, %lld) is outside a grid of %lld x %lld cells", static_cast<long long>(position.x),
               static_cast<long long>(position.y), static_cast<long long>(size.x), static_cast<long long>(size.y));
    return static_cast<size_t>(position.x * (size.y + 1) + position.y);
}

ccVertex3F CCGrid3D::vertex(ccGridSize position) const { return vertices_[elementOf(position)]; }

ccVertex3F CCGrid3D::originalVertex(ccGridSize position) const { return originalVertices_[elementOf(position)]; }

void CCGrid3D::setVertex(ccGridSize position, ccVertex3F vertex) { vertices_[elementOf(position)] = vertex; }

void CCGrid3D::blit() {
    drawTriangles(vertices_.data(), texCoordinates_.data(), indices_.data(), static_cast<GLsizei>(indices_.size()));
}

void CCGrid3D::reuse() {
    if (reuseGrid() <= 0) return;
    originalVertices_ = vertices_;
    setReuseGrid(reuseGrid() - 1);
}

void CCGrid3D::calculateVertexPoints() {
    const ccGridSize size = gridSize();
    CC_REQUIRE(size.x < kMaxPoints && size.y < kMaxPoints && (size.x + 1) * (size.y + 1) <= kMaxPoints, "GridBase",
               "a grid of %lld x %lld cells has more lattice points than 16-bit indices address",
               static_cast<long long>(size.x), static_cast<long long>(size.y));
    const auto w = static_cast<float>(texture()->pixelsWide()), h = static_cast<float>(texture()->pixelsHigh());
    const auto H = static_cast<float>(texture()->contentSizeInPixels().height);
    const CGPoint cell = step();
    const auto points = static_cast<size_t>((size.x + 1) * (size.y + 1));
    vertices_.assign(points, ccVertex3F{});
    texCoordinates_.assign(points, ccTex2F{});
    indices_.assign(static_cast<size_t>(size.x * size.y * 6), 0);
    for (int64_t x = 0; x < size.x; ++x) {
        for (int64_t y = 0; y < size.y; ++y) {
            const auto x1 = static_cast<float>(static_cast<double>(x) * cell.x);
            const auto x2 = static_cast<float>(x1 + cell.x);
            const auto y1 = static_cast<float>(static_cast<double>(y) * cell.y);
            const auto y2 = static_cast<float>(y1 + cell.y);
            const auto a = static_cast<GLushort>(x * (size.y + 1) + y);
            const auto b = static_cast<GLushort>((x + 1) * (size.y + 1) + y);
            const auto c = static_cast<GLushort>((x + 1) * (size.y + 1) + y + 1);
            const auto d = static_cast<GLushort>(x * (size.y + 1) + y + 1);
            const GLushort triangles[6] = {a, b, d, b, c, d};
            std::copy(triangles, triangles + 6, &indices_[static_cast<size_t>(6 * (y * size.x + x))]);
            const GLushort corners[4] = {a, b, c, d};
            const ccVertex3F places[4] = {{x1, y1, 0}, {x2, y1, 0}, {x2, y2, 0}, {x1, y2, 0}};
            for (int k = 0; k < 4; ++k) {
                vertices_[corners[k]] = places[k];
                const float py = places[k].y;
                texCoordinates_[corners[k]] = {places[k].x / w, (isTextureFlipped() ? H - py : py) / h};
            }
        }
    }
    originalVertices_ = vertices_;
}
