#pragma once

#include "engine/actions/grid/CCGrid3DAction.h"

// The picture curls away like a page turned from its bottom-right corner, wrapping round a cone
// whose apex sinks below the page as the turn goes on. At the end the page is fully turned: every
// point lies on the cone's axis, just above the page beneath.
class CCPageTurn3D : public CCGrid3DAction {
public:
    static RefPtr<CCPageTurn3D> actionWithSize(ccGridSize gridSize, float duration);

    void update(float t) override;

protected:
    CCPageTurn3D* makeEmptyCopy() const override { return new CCPageTurn3D; }
};
