#pragma once

#include "engine/actions/CCActionInstant.h"

// Ends a grid effect: the target node's grid, when active, is turned off, so the node draws
// plainly again. Nothing for a node without a grid or a target that is not a node.
class CCStopGrid : public CCActionInstant {
public:
    // A new, initialised instance.
    static RefPtr<CCStopGrid> action();

    void startWithTarget(Object* target) override;

protected:
    CCStopGrid* makeEmptyCopy() const override { return new CCStopGrid; }
};
