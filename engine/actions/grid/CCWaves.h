#pragma once

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "engine/actions/grid/CCGrid3DAction.h"

// Flat waves: with `vertical` each lattice point sways in x along the picture's height, with
// `horizontal` in y along its width (after the vertical sway), by amplitude x amplitudeRate,
// `waves` full swings over the duration.
class CCWaves : public CCGrid3DAction, public CCAmplitudeEffect {
public:
    static RefPtr<CCWaves> actionWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical,
                                           ccGridSize gridSize, float duration);
    bool initWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical, ccGridSize gridSize,
                       float duration);

    // Waves, amplitude, both directions, grid size and duration; the rate starts at 1 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCWaves* makeEmptyCopy() const override { return new CCWaves; }

private:
    int32_t waves_ = 0;
    bool vertical_ = false;
    bool horizontal_ = false;
};
