#pragma once

#include "engine/actions/CCActionInterval.h"
#include "engine/core/ccTypes.h"

class CCRGBAProtocol;

// Changes a node's colour to the given one, each channel in a straight line.
class CCTintTo : public CCActionInterval {
public:
    // Seconds and the final colour.
    static RefPtr<CCTintTo> actionWithDuration(float duration, uint8_t red, uint8_t green, uint8_t blue);
    bool initWithDuration(float duration, uint8_t red, uint8_t green, uint8_t blue);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target without colour and opacity (not a CCRGBAProtocol) is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCTintTo* makeEmptyCopy() const override { return new CCTintTo; }

private:
    CCRGBAProtocol* rgba_ = nullptr;  // the running target, not retained
    ccColor3B to_;
    ccColor3B from_;
};
