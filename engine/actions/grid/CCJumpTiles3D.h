#pragma once

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "engine/actions/grid/CCTiledGrid3DAction.h"

// The tiles jump in depth like a chessboard in opposite phase: tiles whose column + row is even
// rise while the others sink, by amplitude x amplitudeRate, `jumps` full swings over the duration.
class CCJumpTiles3D : public CCTiledGrid3DAction, public CCAmplitudeEffect {
public:
    static RefPtr<CCJumpTiles3D> actionWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize,
                                                 float duration);
    bool initWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize, float duration);

    // Jumps, amplitude, grid size and duration; the rate starts at 1 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCJumpTiles3D* makeEmptyCopy() const override { return new CCJumpTiles3D; }

private:
    int32_t jumps_ = 0;
};
