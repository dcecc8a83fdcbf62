#pragma once

#include "engine/actions/CCActionInterval.h"

class CCNode;

// Turns a node to an angle, the short way round (at most 180 degrees per axis). The X start is
// taken as the node has it; the Y start is first reduced into -360..360.
class CCRotateTo : public CCActionInterval {
public:
    // Destination in degrees, clockwise: one for both axes, or one per axis.
    static RefPtr<CCRotateTo> actionWithDuration(float duration, float angle);
    static RefPtr<CCRotateTo> actionWithDuration(float duration, float angleX, float angleY);
    bool initWithDuration(float duration, float angle);
    bool initWithDuration(float duration, float angleX, float angleY);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCRotateTo* makeEmptyCopy() const override { return new CCRotateTo; }

private:
    CCNode* node_ = nullptr;  // the running target, not retained
    // Degrees: destination, start and signed turn per axis.
    float dstAngleX_ = 0, startAngleX_ = 0, diffAngleX_ = 0;
    float dstAngleY_ = 0, startAngleY_ = 0, diffAngleY_ = 0;
};
