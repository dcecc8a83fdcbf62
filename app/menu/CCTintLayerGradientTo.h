#pragma once

#include <cstdint>

#include "engine/actions/CCActionInterval.h"
#include "engine/core/ccTypes.h"

class CCLayerGradient;

// Moves both colours of a gradient layer from their values at the start to two target colours,
// each channel in a straight line. Only red, green and blue change; the layer's opacities stay.
// A target that is not a gradient layer is left alone.
class CCTintLayerGradientTo : public CCActionInterval {
public:
    // Seconds, the target start colour (the gradient's first colour) and the target end colour.
    static RefPtr<CCTintLayerGradientTo> actionWithDuration(float duration, uint8_t redStart, uint8_t greenStart,
                                                            uint8_t blueStart, uint8_t redEnd, uint8_t greenEnd,
                                                            uint8_t blueEnd);
    bool initWithDuration(float duration, uint8_t redStart, uint8_t greenStart, uint8_t blueStart, uint8_t redEnd,
                          uint8_t greenEnd, uint8_t blueEnd);

    // The same action, unstarted.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    // Each channel is from + (to - from) x t in floating point, truncated towards zero.
    void update(float t) override;

protected:
    CCTintLayerGradientTo* makeEmptyCopy() const override { return new CCTintLayerGradientTo; }

private:
    CCLayerGradient* layer_ = nullptr;  // the running target, not retained
    ccColor3B toStart_;
    ccColor3B fromStart_;
    ccColor3B toEnd_;
    ccColor3B fromEnd_;
};
