#pragma once

#include "engine/actions/grid/CCFadeOutUpTiles.h"

// Fades the picture out row by row downwards: the top rows go first, the bottom row stays whole.
class CCFadeOutDownTiles : public CCFadeOutUpTiles {
public:
    static RefPtr<CCFadeOutDownTiles> actionWithSize(ccGridSize gridSize, float duration);

    float testFunc(ccGridSize position, float t) const override;

protected:
    CCFadeOutDownTiles* makeEmptyCopy() const override { return new CCFadeOutDownTiles; }
};
