#pragma once

#include "engine/actions/grid/CCGridAction.h"
#include "engine/render/CCTiledGrid3D.h"

// A grid action on the independent tiles of a CCTiledGrid3D: effects read the undeformed tiles
// every frame and write the current ones.
class CCTiledGrid3DAction : public CCGridAction {
public:
    // A CCTiledGrid3D of the action's size.
    RefPtr<CCGridBase> grid() const override;

    // The tile of the grid being deformed (see CCTiledGrid3D); four zero corners, and writes do
    // nothing, while the action has no grid.
    ccQuad3 tile(ccGridSize position) const;
    ccQuad3 originalTile(ccGridSize position) const;
    void setTile(ccGridSize position, const ccQuad3& coords);

    // The tile at its undeformed corners.
    void turnOnTile(ccGridSize position);
    // All four corners at (0, 0, 0), which hides the tile.
    void turnOffTile(ccGridSize position);

protected:
    bool acceptsGrid(CCGridBase* grid) const override;
    // The tile at its undeformed corners moved by (dx, dy, dz), points.
    void placeTileOffset(ccGridSize position, float dx, float dy, float dz);
    // The cell size of the grid being deformed, points; zeros while there is none.
    CGPoint gridStep() const;
    CCTiledGrid3D* tiledGrid() const { return static_cast<CCTiledGrid3D*>(targetGrid()); }
    // Sets every tile (i, j), i outer and j inner, to deform(position, undeformed corners); nothing
    // while the action has no grid.
    template <class Deform>
    void deformTiles(Deform deform) {
        CCTiledGrid3D* grid = tiledGrid();
        if (!grid) return;
        const ccGridSize size = grid->gridSize();
        for (int64_t i = 0; i < size.x; ++i) {
            for (int64_t j = 0; j < size.y; ++j) {
                const ccGridSize position{i, j};
                grid->setTile(position, deform(position, grid->originalTile(position)));
            }
        }
    }
};
