#pragma once

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "engine/actions/grid/CCGrid3DAction.h"

// Waves in depth running diagonally over the picture: every lattice point's z swings by
// amplitude x amplitudeRate, `waves` full swings over the duration.
class CCWaves3D : public CCGrid3DAction, public CCAmplitudeEffect {
public:
    static RefPtr<CCWaves3D> actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);
    bool initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);

    // Waves, amplitude, grid size and duration; the rate starts at 1 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCWaves3D* makeEmptyCopy() const override { return new CCWaves3D; }

private:
    int32_t waves_ = 0;
};
