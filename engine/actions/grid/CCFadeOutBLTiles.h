#pragma once

#include "engine/actions/grid/CCFadeOutTRTiles.h"

// Fades the picture out tile by tile towards the bottom-left corner: the front starts at the
// top-right corner.
class CCFadeOutBLTiles : public CCFadeOutTRTiles {
public:
    static RefPtr<CCFadeOutBLTiles> actionWithSize(ccGridSize gridSize, float duration);

    float testFunc(ccGridSize position, float t) const override;

protected:
    CCFadeOutBLTiles* makeEmptyCopy() const override { return new CCFadeOutBLTiles; }
};
