#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCNode;

// One child's entry in a CCParallaxNode: how far the child follows the parallax node's movement
// and where it sits when the node is at the origin.
class CGPointObject : public Object {
public:
    // A new entry with the ratio and offset and no child.
    static RefPtr<CGPointObject> pointWithCGPoint(CGPoint ratio, CGPoint offset);
    bool initWithCGPoint(CGPoint ratio, CGPoint offset);

    // Per axis, the share of the parallax node's movement the child follows: 1 moves with the
    // node, 0 stays put in world space.
    CGPoint ratio() const { return ratio_; }
    void setRatio(CGPoint ratio) { ratio_ = ratio; }
    // Points; the child's position while the parallax node's absolute position is (0, 0).
    CGPoint offset() const { return offset_; }
    void setOffset(CGPoint offset) { offset_ = offset; }
    // The child the entry belongs to; not retained (the parallax node owns its children).
    CCNode* child() const { return child_; }
    void setChild(CCNode* child) { child_ = child; }

private:
    CGPoint ratio_;
    CGPoint offset_;
    CCNode* child_ = nullptr;  // not retained
};
