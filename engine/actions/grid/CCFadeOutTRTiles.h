#pragma once

#include "engine/actions/grid/CCTiledGrid3DAction.h"

// Fades the picture out tile by tile towards the top-right corner: a front runs diagonally from
// the bottom-left corner, and tiles behind it shrink towards their centres until they vanish.
// The subclasses change the front (testFunc) and how a tile shrinks (transformTile).
class CCFadeOutTRTiles : public CCTiledGrid3DAction {
public:
    static RefPtr<CCFadeOutTRTiles> actionWithSize(ccGridSize gridSize, float duration);

    // Per tile: testFunc 0 turns it off, below 1 shrinks it by that much, 1 or more shows it whole.
    void update(float t) override;

    // How much of the tile at (column, row) is left at progress t: 0 gone, 1 or more whole.
    virtual float testFunc(ccGridSize position, float t) const;
    // The tile's undeformed corners shrunk towards its centre, keeping `distance` (0..1) of its size.
    virtual void transformTile(ccGridSize position, float distance);

protected:
    CCFadeOutTRTiles* makeEmptyCopy() const override { return new CCFadeOutTRTiles; }
};
