#pragma once

#include "engine/actions/CCActionInterval.h"

class CCNode;

// Turns a node by an angle from wherever it is at the start.
class CCRotateBy : public CCActionInterval {
public:
    // Degrees, clockwise: one for both axes, or one per axis.
    static RefPtr<CCRotateBy> actionWithDuration(float duration, float angle);
    static RefPtr<CCRotateBy> actionWithDuration(float duration, float angleX, float angleY);
    bool initWithDuration(float duration, float angle);
    bool initWithDuration(float duration, float angleX, float angleY);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // The same turn backwards.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCRotateBy* makeEmptyCopy() const override { return new CCRotateBy; }

private:
    RefPtr<CCRotateBy> makeWith(float angleX, float angleY) const;

    CCNode* node_ = nullptr;  // the running target, not retained
    // Degrees: the turn and the start per axis.
    float angleX_ = 0, startAngleX_ = 0;
    float angleY_ = 0, startAngleY_ = 0;
};
