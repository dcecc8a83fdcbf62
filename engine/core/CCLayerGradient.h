#pragma once

#include <cstdint>

#include "engine/core/CCLayerColor.h"

// A colour layer whose corners run from the start colour (the layer's colour) to the end colour
// along a direction vector: the vector points from the start colour towards the end colour, so the
// default (0, -1) has the start colour at the top edge and the end colour at the bottom.
//
// Each end's alpha is its own opacity times the layer's opacity. Without compressed interpolation
// a vector along an axis only reaches 14.6 % .. 85.4 % of the way between the colours at the
// edges; compression stretches any direction so that the extreme corners get the pure colours.
class CCLayerGradient : public CCLayerColor {
public:
    static RefPtr<CCLayerGradient> layerWithColor(ccColor4B start, ccColor4B end);
    static RefPtr<CCLayerGradient> layerWithColor(ccColor4B start, ccColor4B end, CGPoint vector);

    // Transparent black throughout, no direction.
    CCLayerGradient() = default;
    // Along (0, -1).
    bool initWithColor(ccColor4B start, ccColor4B end);
    // The layer's own opacity starts at 255; the colours' alphas become the start and end
    // opacities. Compressed interpolation on. Always succeeds.
    bool initWithColor(ccColor4B start, ccColor4B end, CGPoint vector);
    using CCLayerColor::initWithColor;

    ccColor3B startColor() const { return color(); }
    void setStartColor(ccColor3B color) { setColor(color); }
    ccColor3B endColor() const { return endColor_; }
    void setEndColor(ccColor3B color);
    uint8_t startOpacity() const { return startOpacity_; }
    void setStartOpacity(uint8_t opacity);
    uint8_t endOpacity() const { return endOpacity_; }
    void setEndOpacity(uint8_t opacity);
    CGPoint vector() const { return vector_; }
    void setVector(CGPoint vector);
    bool compressedInterpolation() const { return compressedInterpolation_; }
    void setCompressedInterpolation(bool compress);

protected:
    // The start colour everywhere for a zero vector, else each corner interpolated.
    void updateColor() override;

private:
    ccColor3B endColor_;
    uint8_t startOpacity_ = 0;
    uint8_t endOpacity_ = 0;
    CGPoint vector_;                       // direction, any length; (0, 0) means none
    bool compressedInterpolation_ = false;
};
