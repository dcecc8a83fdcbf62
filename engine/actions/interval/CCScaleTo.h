#pragma once

#include "engine/actions/CCActionInterval.h"

class CCNode;

// Scales a node to factors.
class CCScaleTo : public CCActionInterval {
public:
    // One factor for both axes, or one per axis.
    static RefPtr<CCScaleTo> actionWithDuration(float duration, float scale);
    static RefPtr<CCScaleTo> actionWithDuration(float duration, float scaleX, float scaleY);
    bool initWithDuration(float duration, float scale);
    bool initWithDuration(float duration, float scaleX, float scaleY);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCScaleTo* makeEmptyCopy() const override { return new CCScaleTo; }

    CCNode* node_ = nullptr;  // the running target, not retained
    float startScaleX_ = 0, startScaleY_ = 0;
    float endScaleX_ = 0, endScaleY_ = 0;  // as constructed: the end factors, or a scale-by's multipliers
    float deltaX_ = 0, deltaY_ = 0;        // the change of the current run
};
