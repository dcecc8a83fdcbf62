#pragma once

#include <vector>

#include "engine/render/CCGridBase.h"

// A mesh of columns x rows independent quads, the tiles, which can separate. Tile (x, y) sits at
// slot x x rows + y; at most 16,384 tiles.
class CCTiledGrid3D : public CCGridBase {
public:
    // Through the initialisers of CCGridBase; null where those answer false.
    static RefPtr<CCTiledGrid3D> gridWithSize(ccGridSize gridSize);
    static RefPtr<CCTiledGrid3D> gridWithSize(ccGridSize gridSize, RefPtr<CCTexture2D> texture, bool flippedTexture);

    // Tile positions run 0..columns - 1 and 0..rows - 1; others throw NamedException
    // "NSRangeException".
    ccQuad3 tile(ccGridSize position) const;
    ccQuad3 originalTile(ccGridSize position) const;
    void setTile(ccGridSize position, const ccQuad3& coords);

    void blit() override;
    void reuse() override;
    void calculateVertexPoints() override;

    // Six per slot k: 4k, 4k + 1, 4k + 2, 4k + 1, 4k + 2, 4k + 3.
    const std::vector<GLushort>& indices() const { return indices_; }
    // Four (u, v) per slot, corners in the order bl, br, tl, tr.
    const std::vector<ccTex2F>& texCoordinates() const { return texCoordinates_; }

private:
    size_t slotOf(ccGridSize position) const;

    std::vector<ccQuad3> vertices_;          // the current tiles, points
    std::vector<ccQuad3> originalVertices_;  // the undeformed tiles
    std::vector<ccTex2F> texCoordinates_;
    std::vector<GLushort> indices_;
};
