#pragma once

#include <cstdint>

#include "engine/actions/CCActionInterval.h"
#include "platform/foundation/Geometry.h"

class CCNode;

// Moves a node by an amount (points) in a straight line while it makes `jumps` parabolic hops of
// `height` points; each hop peaks halfway through its share of the time.
class CCJumpBy : public CCActionInterval {
public:
    // Seconds, the amount (points), each hop's height (points) and the number of hops.
    static RefPtr<CCJumpBy> actionWithDuration(float duration, CGPoint position, float height, uint64_t jumps);
    bool initWithDuration(float duration, CGPoint position, float height, uint64_t jumps);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // A jump of the receiver's class to or by the negated position, with the same hops.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCJumpBy* makeEmptyCopy() const override { return new CCJumpBy; }

    CCNode* node_ = nullptr;  // the running target, not retained
    CGPoint startPosition_;
    // As constructed (the amount, or a jump-to's end point); never changed by running, so that
    // every start of the same object follows the same path.
    CGPoint delta_;
    CGPoint offset_;  // the move of the current run
    float height_ = 0;
    uint64_t jumps_ = 0;

private:
    RefPtr<CCJumpBy> makeWith(CGPoint position) const;
};
