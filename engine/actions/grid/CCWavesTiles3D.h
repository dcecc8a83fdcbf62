#pragma once

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "engine/actions/grid/CCTiledGrid3DAction.h"

// Waves in depth running diagonally over the tiles: each tile rises and sinks flat, by
// amplitude x amplitudeRate, `waves` full swings over the duration.
class CCWavesTiles3D : public CCTiledGrid3DAction, public CCAmplitudeEffect {
public:
    static RefPtr<CCWavesTiles3D> actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize,
                                                  float duration);
    bool initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);

    // Waves, amplitude, grid size and duration; the rate starts at 1 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCWavesTiles3D* makeEmptyCopy() const override { return new CCWavesTiles3D; }

private:
    int32_t waves_ = 0;
};
