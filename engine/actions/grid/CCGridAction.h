#pragma once

#include "engine/actions/CCActionInterval.h"
#include "engine/render/CCGridBase.h"

// An interval action that animates a node through a grid of its own kind and size: at its start
// it puts a new grid on the target node and activates it, or, when the node's grid still has a
// reuse permit, takes that grid over with its current deformation as the new starting mesh. The
// grid stays on the node, still shown, after the action ends.
//
// A target that is not a CCNode is left alone. Subclasses say which grid kind they use (grid,
// acceptsGrid) and make their own copies.
class CCGridAction : public CCActionInterval {
public:
    // Duration in seconds; the grid size is checked when the grid is made.
    bool initWithSize(ccGridSize gridSize, float duration);

    // A new instance of the receiver's class with the same grid size and duration.
    RefPtr<CCAction> copy() const override;
    // A reused grid that is inactive, of another size or of another kind throws NamedException
    // "GridBase" "Cannot reuse grid".
    void startWithTarget(Object* target) override;
    // Also lets go of the grid.
    void stop() override;
    // The action run backwards in time (a CCReverseTime around a copy of it).
    RefPtr<CCFiniteTimeAction> reverse() const override;

    // A new grid of the action's kind and size over the window; null when it cannot be made.
    virtual RefPtr<CCGridBase> grid() const = 0;

    ccGridSize gridSize() const { return gridSize_; }
    void setGridSize(ccGridSize gridSize) { gridSize_ = gridSize; }

protected:
    CCGridAction* makeEmptyCopy() const override = 0;
    // The grid is of the kind grid() makes, or of a subclass of it.
    virtual bool acceptsGrid(CCGridBase* grid) const = 0;

    // The grid the action deforms while it runs; null before the start, after the stop and on a
    // target that is not a node.
    CCGridBase* targetGrid() const { return targetGrid_.get(); }

    template <class Action>
    static RefPtr<Action> made(ccGridSize gridSize, float duration) {
        auto action = makeRef<Action>();
        action->initWithSize(gridSize, duration);
        return action;
    }

private:
    ccGridSize gridSize_;                // columns, rows
    RefPtr<CCGridBase> targetGrid_;
};
