#pragma once

#include "engine/actions/CCActionInterval.h"

class CCNode;

// The base of the actions that move a node's camera: records the camera's eye, centre and up
// vector when it starts. A target that is not a CCNode is left alone.
class CCActionCamera : public CCActionInterval {
public:
    // Also makes the target's camera if it has none yet.
    void startWithTarget(Object* target) override;
    // The action run backwards in time (a CCReverseTime around a copy of it).
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCActionCamera* makeEmptyCopy() const override { return new CCActionCamera; }

    CCNode* node_ = nullptr;  // the target as a node while running; not retained
    // The camera at the start.
    float centerXOrig_ = 0, centerYOrig_ = 0, centerZOrig_ = 0;
    float eyeXOrig_ = 0, eyeYOrig_ = 0, eyeZOrig_ = 0;
    float upXOrig_ = 0, upYOrig_ = 0, upZOrig_ = 0;
};
