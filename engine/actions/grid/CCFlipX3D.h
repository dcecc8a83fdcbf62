#pragma once

#include "engine/actions/grid/CCGrid3DAction.h"

// Turns the picture over about its vertical middle line: on a 1 x 1 grid one column swings over
// the other, raised towards the viewer half way, until at the end the picture shows mirrored.
class CCFlipX3D : public CCGrid3DAction {
public:
    static RefPtr<CCFlipX3D> actionWithDuration(float duration);
    // A 1 x 1 grid.
    bool initWithDuration(float duration);
    // Any grid size but 1 x 1 throws NamedException "FlipX3D" "Grid size must be (1,1)".
    bool initWithSize(ccGridSize gridSize, float duration);

    void update(float t) override;

protected:
    CCFlipX3D* makeEmptyCopy() const override { return new CCFlipX3D; }
    // The turn at progress t about the vertical line (horizontal: false) or the horizontal one.
    void flip(float t, bool horizontal);
};
