#pragma once

#include "engine/actions/grid/CCTiledGrid3DAction.h"

// Breaks the picture into tiles once: the first update moves every tile's corners by random
// offsets of -range .. range - 1 points in x and y (and z with shatterZ), and the fragments then stay
// where they fell, also through later runs of the same action; a copy shatters afresh. A range
// below 1 leaves the tiles whole.
class CCShatteredTiles3D : public CCTiledGrid3DAction {
public:
    static RefPtr<CCShatteredTiles3D> actionWithRange(int32_t range, bool shatterZ, ccGridSize gridSize,
                                                      float duration);
    bool initWithRange(int32_t range, bool shatterZ, ccGridSize gridSize, float duration);

    // Range, shatterZ, grid size and duration.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCShatteredTiles3D* makeEmptyCopy() const override { return new CCShatteredTiles3D; }

private:
    int32_t randrange_ = 0;  // points
    bool once_ = false;      // the tiles have been shattered
    bool shatterZ_ = false;
};
