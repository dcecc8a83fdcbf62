#pragma once

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "engine/actions/grid/CCGrid3DAction.h"

// The picture wobbles like a liquid surface: inner lattice points sway in x and y by
// amplitude x amplitudeRate, `waves` full swings over the duration. The border never moves, so a
// grid of one column or one row stays still.
class CCLiquid : public CCGrid3DAction, public CCAmplitudeEffect {
public:
    static RefPtr<CCLiquid> actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);
    bool initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);

    // Waves, amplitude, grid size and duration; the rate starts at 1 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCLiquid* makeEmptyCopy() const override { return new CCLiquid; }

private:
    int32_t waves_ = 0;
};
