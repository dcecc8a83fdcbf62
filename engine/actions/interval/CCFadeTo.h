#pragma once

#include <cstdint>

#include "engine/actions/CCActionInterval.h"

class CCRGBAProtocol;

// Changes a node's opacity to a value 0..255.
class CCFadeTo : public CCActionInterval {
public:
    // Seconds and the final opacity.
    static RefPtr<CCFadeTo> actionWithDuration(float duration, uint8_t opacity);
    bool initWithDuration(float duration, uint8_t opacity);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target without colour and opacity (not a CCRGBAProtocol) is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCFadeTo* makeEmptyCopy() const override { return new CCFadeTo; }

private:
    CCRGBAProtocol* rgba_ = nullptr;  // the running target, not retained
    uint8_t toOpacity_ = 0;
    uint8_t fromOpacity_ = 0;
};
