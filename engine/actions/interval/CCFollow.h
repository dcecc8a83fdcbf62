#pragma once

#include "engine/actions/CCAction.h"
#include "platform/foundation/Geometry.h"

class CCNode;

// Keeps its target (usually a layer holding a scrolling world) placed so that the followed node
// stays in the middle of the window, optionally without showing anything outside a world
// rectangle. Stepped every frame; done once the followed node is no longer running. The window
// size is the director's at creation. A target that is not a CCNode is left alone.
class CCFollow : public CCAction {
public:
    // `followedNode` must not be null (NSInvalidArgumentException).
    static RefPtr<CCFollow> actionWithTarget(RefPtr<CCNode> followedNode);
    // `worldBoundary` in points, in the target's parent's space.
    static RefPtr<CCFollow> actionWithTarget(RefPtr<CCNode> followedNode, CGRect worldBoundary);
    bool initWithTarget(RefPtr<CCNode> followedNode);
    bool initWithTarget(RefPtr<CCNode> followedNode, CGRect worldBoundary);

    // The same followed node, boundary and window size; the tag too.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    // Places the target; `dt` is not used.
    void step(float dt) override;
    bool isDone() const override;

    // Whether the world boundary limits the target's position.
    bool boundarySet() const { return limits_.boundarySet; }
    void setBoundarySet(bool boundarySet) { limits_.boundarySet = boundarySet; }

protected:
    CCFollow* makeEmptyCopy() const override { return new CCFollow; }

private:
    // Everything but the nodes, copied whole by copy().
    struct Limits {
        bool boundarySet = false;
        bool boundaryFullyCovered = false;  // the world fits in the window: the target never moves
        CGPoint halfScreenSize;             // points
        // The range of the target's position, points; left <= right and bottom <= top.
        float leftBoundary = 0, rightBoundary = 0, topBoundary = 0, bottomBoundary = 0;
    };

    RefPtr<CCNode> followedNode_;
    CCNode* node_ = nullptr;  // the target as a node while running; not retained
    Limits limits_;
};
