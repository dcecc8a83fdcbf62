#pragma once

#include "engine/actions/CCActionInstant.h"
#include "platform/foundation/Geometry.h"

class CCNode;

// Puts its target node at a position (points, in the parent's space); it reverses to a copy. A
// target that is not a CCNode is left alone.
class CCPlace : public CCActionInstant {
public:
    // `position` in points, in the target's parent's space.
    static RefPtr<CCPlace> actionWithPosition(CGPoint position);
    bool initWithPosition(CGPoint position);

    // The same position.
    RefPtr<CCAction> copy() const override;
    // The target is taken as a node at the start; the update places it.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCPlace* makeEmptyCopy() const override { return new CCPlace; }

private:
    CGPoint position_;
    CCNode* node_ = nullptr;  // the target as a node while running; not retained
};
