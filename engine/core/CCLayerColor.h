#pragma once

#include <cstdint>

#include "engine/core/CCLayer.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/ccTypes.h"

// A layer that fills its content rectangle with one colour, blended with (GL_SRC_ALPHA,
// GL_ONE_MINUS_SRC_ALPHA) by default, drawn as one triangle strip with the "ShaderPositionColor"
// program. Subclasses change the per-corner colours in updateColor (see CCLayerGradient).
//
// Making one needs the view's GL context (the program comes from the shader cache).
class CCLayerColor : public CCLayer, public CCRGBAProtocol {
public:
    static RefPtr<CCLayerColor> layerWithColor(ccColor4B color, float width, float height);
    // The window's size.
    static RefPtr<CCLayerColor> layerWithColor(ccColor4B color);

    // Transparent black, the window's size.
    CCLayerColor();
    // Colour and opacity from the colour; the size in points. Always succeeds.
    bool initWithColor(ccColor4B color, float width, float height);
    bool initWithColor(ccColor4B color);

    // Also moves the rectangle's far corners.
    void setContentSize(CGSize size) override;
    void changeWidth(float width, float height);
    void changeWidth(float width);
    void changeHeight(float height);

    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    ccBlendFunc blendFunc() const { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) { blendFunc_ = blendFunc; }

    // Corners in the order (0, 0), (width, 0), (0, height), (width, height), points.
    const ccVertex2F* squareVertices() const { return squareVertices_; }
    // Colours of the corners in the same order, 0-1 per component.
    const ccColor4F* squareColors() const { return squareColors_; }

    void draw() override;

protected:
    // Every corner gets the colour with the opacity as alpha.
    virtual void updateColor();

    uint8_t opacity_ = 0;
    ccColor3B color_;
    ccVertex2F squareVertices_[4];
    ccColor4F squareColors_[4];
    ccBlendFunc blendFunc_;
};
