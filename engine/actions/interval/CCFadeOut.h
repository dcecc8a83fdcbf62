#pragma once

#include "engine/actions/CCActionInterval.h"

class CCRGBAProtocol;

// Lowers a node's opacity from 255 to 0.
class CCFadeOut : public CCActionInterval {
public:
    // Seconds.
    static RefPtr<CCFadeOut> actionWithDuration(float duration);

    // A target without colour and opacity (not a CCRGBAProtocol) is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // A fade-in of the same duration.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCFadeOut* makeEmptyCopy() const override { return new CCFadeOut; }

private:
    CCRGBAProtocol* rgba_ = nullptr;  // the running target, not retained
};
