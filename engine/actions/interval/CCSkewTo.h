#pragma once

#include "engine/actions/CCActionInterval.h"

class CCNode;

// Skews a node to angles (degrees), the short way round. The start X skew is first reduced into
// -180..180 and the start Y skew into -360..360.
class CCSkewTo : public CCActionInterval {
public:
    // Seconds and the end skews (degrees).
    static RefPtr<CCSkewTo> actionWithDuration(float duration, float skewX, float skewY);
    bool initWithDuration(float duration, float skewX, float skewY);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCSkewTo* makeEmptyCopy() const override { return new CCSkewTo; }

    CCNode* node_ = nullptr;  // the running target, not retained
    // Degrees. skewX_/skewY_ are the amounts of a skew-by; endSkew the destination, which a
    // skew-by sets at each start.
    float skewX_ = 0, skewY_ = 0;
    float startSkewX_ = 0, startSkewY_ = 0;
    float endSkewX_ = 0, endSkewY_ = 0;
    float deltaX_ = 0, deltaY_ = 0;
};
