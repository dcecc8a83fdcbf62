#pragma once

#include "engine/actions/grid/CCGridAction.h"
#include "engine/render/CCGrid3D.h"

// A grid action on a continuous CCGrid3D mesh: effects read the undeformed lattice every frame and
// write the current one.
class CCGrid3DAction : public CCGridAction {
public:
    // A CCGrid3D of the action's size.
    RefPtr<CCGridBase> grid() const override;

    // The lattice point of the grid being deformed (see CCGrid3D); zeros, and writes do nothing,
    // while the action has no grid.
    ccVertex3F vertex(ccGridSize position) const;
    ccVertex3F originalVertex(ccGridSize position) const;
    void setVertex(ccGridSize position, ccVertex3F vertex);

protected:
    bool acceptsGrid(CCGridBase* grid) const override;
    CCGrid3D* grid3D() const { return static_cast<CCGrid3D*>(targetGrid()); }
    // Sets every lattice point (i, j), i outer and j inner, both inclusive, to
    // deform(position, undeformed vertex); nothing while the action has no grid.
    template <class Deform>
    void deformVertices(Deform deform) {
        CCGrid3D* grid = grid3D();
        if (!grid) return;
        const ccGridSize size = grid->gridSize();
        for (int64_t i = 0; i <= size.x; ++i) {
            for (int64_t j = 0; j <= size.y; ++j) {
                const ccGridSize position{i, j};
                grid->setVertex(position, deform(position, grid->originalVertex(position)));
            }
        }
    }
};
