#pragma once

#include "engine/actions/CCActionInterval.h"
#include "platform/foundation/Geometry.h"

class CCNode;

// Moves a node in a straight line to a position (points, in its parent's space).
class CCMoveTo : public CCActionInterval {
public:
    // Seconds and the end position.
    static RefPtr<CCMoveTo> actionWithDuration(float duration, CGPoint position);
    bool initWithDuration(float duration, CGPoint position);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCMoveTo* makeEmptyCopy() const override { return new CCMoveTo; }

    CCNode* node_ = nullptr;  // the running target, not retained
    CGPoint endPosition_;
    CGPoint startPosition_;
    CGPoint delta_;  // end - start for this run
};
