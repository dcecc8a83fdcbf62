#pragma once

#include <cstdint>

#include "engine/actions/CCActionInterval.h"

class CCRGBAProtocol;

// Changes each channel of a node's colour by a signed amount. A channel pushed past 0..255 wraps
// round through its low 8 bits.
class CCTintBy : public CCActionInterval {
public:
    // Seconds and the signed change of each channel.
    static RefPtr<CCTintBy> actionWithDuration(float duration, int16_t deltaRed, int16_t deltaGreen, int16_t deltaBlue);
    bool initWithDuration(float duration, int16_t deltaRed, int16_t deltaGreen, int16_t deltaBlue);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target without colour and opacity (not a CCRGBAProtocol) is left alone.
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // A tint by the negated amounts.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCTintBy* makeEmptyCopy() const override { return new CCTintBy; }

private:
    RefPtr<CCTintBy> makeWith(int16_t deltaRed, int16_t deltaGreen, int16_t deltaBlue) const;

    CCRGBAProtocol* rgba_ = nullptr;  // the running target, not retained
    int16_t deltaR_ = 0, deltaG_ = 0, deltaB_ = 0;
    int16_t fromR_ = 0, fromG_ = 0, fromB_ = 0;
};
