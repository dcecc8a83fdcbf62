#pragma once

#include "engine/actions/grid/CCFadeOutTRTiles.h"

// Fades the picture out row by row upwards: the front rises from the bottom, and rows behind it
// flatten towards their middle lines until they vanish.
class CCFadeOutUpTiles : public CCFadeOutTRTiles {
public:
    static RefPtr<CCFadeOutUpTiles> actionWithSize(ccGridSize gridSize, float duration);

    float testFunc(ccGridSize position, float t) const override;
    // The tile's undeformed corners flattened towards its middle line, keeping `distance` (0..1)
    // of its height.
    void transformTile(ccGridSize position, float distance) override;

protected:
    CCFadeOutUpTiles* makeEmptyCopy() const override { return new CCFadeOutUpTiles; }
};
