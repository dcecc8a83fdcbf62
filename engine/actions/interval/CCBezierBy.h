#pragma once

#include "engine/actions/CCActionInterval.h"
#include "platform/foundation/Geometry.h"

class CCNode;

// A cubic Bezier path: its end point and two control points (points). A Bezier-by reads them
// relative to the node's start position; a Bezier-to as positions in the parent's space.
struct ccBezierConfig {
    CGPoint endPosition;
    CGPoint controlPoint_1;
    CGPoint controlPoint_2;
};

// Moves a node along a cubic Bezier path that starts where the node is; the curve is evaluated in
// single precision relative to the start.
class CCBezierBy : public CCActionInterval {
public:
    // Seconds and the path, relative to the start.
    static RefPtr<CCBezierBy> actionWithDuration(float duration, const ccBezierConfig& bezier);
    bool initWithDuration(float duration, const ccBezierConfig& bezier);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // The same path run backwards, made of the receiver's class from the stored points.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCBezierBy* makeEmptyCopy() const override { return new CCBezierBy; }

    CCNode* node_ = nullptr;  // the running target, not retained
    // As constructed; never changed by running, so that every start of the same object follows
    // the same path.
    ccBezierConfig config_;
    ccBezierConfig offsets_;  // the path of the current run, relative to its start
    CGPoint startPosition_;

private:
    RefPtr<CCBezierBy> makeWith(const ccBezierConfig& bezier) const;
};
