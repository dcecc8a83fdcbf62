#pragma once

#include "engine/actions/interval/CCJumpBy.h"

// A jump that ends at a position (points, in the parent's space) instead of moving by an amount.
class CCJumpTo : public CCJumpBy {
public:
    // Seconds, the end position, each hop's height (points) and the number of hops.
    static RefPtr<CCJumpTo> actionWithDuration(float duration, CGPoint position, float height, uint64_t jumps);

    // Measures the move from the node's start; the end position stays as given.
    void startWithTarget(Object* target) override;

protected:
    CCJumpTo* makeEmptyCopy() const override { return new CCJumpTo; }
};
