#include "engine/core/CCLayerGradient.h"

#include <cmath>

#include "engine/core/support/ccPointMath.h"

RefPtr<CCLayerGradient> CCLayerGradient::layerWithColor(ccColor4B start, ccColor4B end) {
    RefPtr<CCLayerGradient> layer = makeRef<CCLayerGradient>();
    layer->initWithColor(start, end);
    return layer;
}

RefPtr<CCLayerGradient> CCLayerGradient::layerWithColor(ccColor4B start, ccColor4B end, CGPoint vector) {
    RefPtr<CCLayerGradient> layer = makeRef<CCLayerGradient>();
    layer->initWithColor(start, end, vector);
    return layer;
}

bool CCLayerGradient::initWithColor(ccColor4B start, ccColor4B end) {
    return initWithColor(start, end, CGPointMake(0, -1));
}

bool CCLayerGradient::initWithColor(ccColor4B start, ccColor4B end, CGPoint vector) {
    endColor_ = {end.r, end.g, end.b};
    endOpacity_ = end.a;
    startOpacity_ = start.a;
    vector_ = vector;
    compressedInterpolation_ = true;
    return CCLayerColor::initWithColor(ccColor4B{start.r, start.g, start.b, 255});
}

void CCLayerGradient::setEndColor(ccColor3B color) {
    endColor_ = color;
    updateColor();
}

void CCLayerGradient::setStartOpacity(uint8_t opacity) {
    startOpacity_ = opacity;
    updateColor();
}

void CCLayerGradient::setEndOpacity(uint8_t opacity) {
    endOpacity_ = opacity;
    updateColor();
}

void CCLayerGradient::setVector(CGPoint vector) {
    vector_ = vector;
    updateColor();
}

void CCLayerGradient::setCompressedInterpolation(bool compress) {
    compressedInterpolation_ = compress;
    updateColor();
}

void CCLayerGradient::updateColor() {
    CCLayerColor::updateColor();

    const double h = ccPointLength(vector_);
    if (h == 0) return;

    const float c = std::sqrt(2.0f);
    float ux = static_cast<float>(vector_.x / h);
    float uy = static_cast<float>(vector_.y / h);
    if (compressedInterpolation_) {
        const float stretch = c / (std::fabs(ux) + std::fabs(uy));
        ux *= stretch;
        uy *= stretch;
    }

    const float o = opacity_ / 255.0f;
    const ccColor4F S{color_.r / 255.0f, color_.g / 255.0f, color_.b / 255.0f, startOpacity_ * o / 255.0f};
    const ccColor4F E{endColor_.r / 255.0f, endColor_.g / 255.0f, endColor_.b / 255.0f, endOpacity_ * o / 255.0f};
    // Share of the start colour at each corner, in the corner order of squareVertices_.
    const float d = 2.0f * c;
    const float t[4] = {(c + ux + uy) / d, (c - ux + uy) / d, (c + ux - uy) / d, (c - ux - uy) / d};
    for (int i = 0; i < 4; ++i) {
        squareColors_[i] = {E.r + (S.r - E.r) * t[i], E.g + (S.g - E.g) * t[i], E.b + (S.b - E.b) * t[i],
                            E.a + (S.a - E.a) * t[i]};
    }
}
