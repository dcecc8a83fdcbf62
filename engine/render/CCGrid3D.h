#pragma once

#include <vector>

#include "engine/render/CCGridBase.h"

// A continuous mesh: a lattice of (columns + 1) x (rows + 1) points shared by neighbouring cells,
// two triangles per cell. Lattice point (i, j) starts at (i x step.x, j x step.y, 0); at most
// 65,536 points.
class CCGrid3D : public CCGridBase {
public:
    // Through the initialisers of CCGridBase; null where those answer false.
    static RefPtr<CCGrid3D> gridWithSize(ccGridSize gridSize);
    static RefPtr<CCGrid3D> gridWithSize(ccGridSize gridSize, RefPtr<CCTexture2D> texture, bool flippedTexture);

    // Lattice positions run 0..columns and 0..rows; others throw NamedException "NSRangeException".
    ccVertex3F vertex(ccGridSize position) const;
    ccVertex3F originalVertex(ccGridSize position) const;
    void setVertex(ccGridSize position, ccVertex3F vertex);

    void blit() override;
    void reuse() override;
    void calculateVertexPoints() override;

    // Six per cell: cell (x, y) at 6 x (y x columns + x), two triangles a b d and b c d of its
    // corners a (bottom left), b (bottom right), c (top right), d (top left).
    const std::vector<GLushort>& indices() const { return indices_; }
    // One (u, v) per lattice point, in the layout of the vertices.
    const std::vector<ccTex2F>& texCoordinates() const { return texCoordinates_; }

private:
    // Element of lattice point (i, j): i x (rows + 1) + j.
    size_t elementOf(ccGridSize position) const;

    std::vector<ccVertex3F> vertices_;          // the current mesh, points
    std::vector<ccVertex3F> originalVertices_;  // the undeformed mesh
    std::vector<ccTex2F> texCoordinates_;
    std::vector<GLushort> indices_;
};
