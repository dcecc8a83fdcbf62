#pragma once

#include "engine/actions/CCActionInterval.h"

class CCRGBAProtocol;

// Raises a node's opacity from 0 to 255.
class CCFadeIn : public CCActionInterval {
public:
    // Seconds.
    static RefPtr<CCFadeIn> actionWithDuration(float duration);

    // A target without colour and opacity (not a CCRGBAProtocol) is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // A fade-out of the same duration.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCFadeIn* makeEmptyCopy() const override { return new CCFadeIn; }

private:
    CCRGBAProtocol* rgba_ = nullptr;  // the running target, not retained
};
