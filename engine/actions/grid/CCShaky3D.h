#pragma once

#include "engine/actions/grid/CCGrid3DAction.h"

// Shakes every lattice point by a new random offset of -range .. range - 1 points in x and y (and
// z with shakeZ) every frame; a range below 1 keeps the picture still.
class CCShaky3D : public CCGrid3DAction {
public:
    static RefPtr<CCShaky3D> actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration);
    bool initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration);

    // Range, shakeZ, grid size and duration.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

protected:
    CCShaky3D* makeEmptyCopy() const override { return new CCShaky3D; }

private:
    int32_t randrange_ = 0;  // points
    bool shakeZ_ = false;
};
