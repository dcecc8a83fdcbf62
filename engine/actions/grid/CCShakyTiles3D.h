#pragma once

#include "engine/actions/grid/CCTiledGrid3DAction.h"

// Shakes every tile's corners by new random offsets of -range .. range - 1 points in x and y (and
// z with shakeZ) every frame, so the tiles jitter apart; a range below 1 keeps them still.
class CCShakyTiles3D : public CCTiledGrid3DAction {
public:
    static RefPtr<CCShakyTiles3D> actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration);
    bool initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration);

    // Range, shakeZ, grid size and duration.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCShakyTiles3D* makeEmptyCopy() const override { return new CCShakyTiles3D; }

private:
    int32_t randrange_ = 0;  // points
    bool shakeZ_ = false;
};
