#pragma once

#include <cstdint>

#include "engine/core/CCNode.h"
#include "engine/core/support/ccArrayStore.h"

// Moves each child by its own share of the node's movement, so that layers added with smaller
// ratios seem farther away. Children are added only with addChild(child, z, ratio, offset); the
// other addChild forms add nothing.
//
// The node tracks its absolute position: the sum of its own position and its ancestors'
// (their scale and rotation are ignored). When that changes, the next visit places every child at
// p × ratio − p + offset in the node's space, which puts it at p × ratio + offset in the parent's.
//
// Engine thread only.
class CCParallaxNode : public CCNode {
public:
    static RefPtr<CCParallaxNode> node();

    CCParallaxNode();

    // Adds the child with its ratio and offset (points) and places it at p × ratio + offset, with
    // p the node's own position; keeps the child's tag. A null child throws NamedException
    // "NSInvalidArgumentException".
    void addChild(CCNode* child, int64_t z, CGPoint ratio, CGPoint offset);
    using CCNode::addChild;
    // Adds nothing: a child needs a ratio and an offset.
    void addChild(CCNode* child, int64_t z, int64_t tag) override;
    // Also drops the child's entry.
    void removeChild(CCNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;

    // Places the children when the absolute position changed since the last placement, then
    // draws as any node.
    void visit() override;

    // The node's position plus those of all its ancestors, points.
    CGPoint absolutePosition_() const;
    // One entry per child, in order of addition; owned by the node.
    ccArray* parallaxArray() const { return parallaxArray_; }

protected:
    ~CCParallaxNode() override;

private:
    ccArray* parallaxArray_;  // of CGPointObject, owned
    // Points; the absolute position of the last placement. (-100, -100) before the first, so a
    // node whose first visit finds it exactly there places nothing then.
    CGPoint lastPosition_{-100, -100};
};
