#include "engine/actions/grid/CCWaves.h"

#include <cmath>

RefPtr<CCWaves> CCWaves::actionWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical,
                                         ccGridSize gridSize, float duration) {
    auto action = makeRef<CCWaves>();
    action->initWithWaves(waves, amplitude, horizontal, vertical, gridSize, duration);
    return action;
}

bool CCWaves::initWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical, ccGridSize gridSize,
                            float duration) {
    initWithSize(gridSize, duration);
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1;
    horizontal_ = horizontal;
    vertical_ = vertical;
    return true;
}

RefPtr<CCAction> CCWaves::copy() const {
    RefPtr<CCWaves> copy(makeEmptyCopy());
    copy->initWithWaves(waves_, amplitude_, horizontal_, vertical_, gridSize(), duration_);
    return copy;
}

void CCWaves::update(float t) {
    const double wave = phase(waves_, t);
    const float a = scaledAmplitude();
    deformVertices([&](ccGridSize, ccVertex3F v) {
        if (vertical_) v.x += std::sin(static_cast<float>(wave + v.y * 0.01f)) * a;
        if (horizontal_) v.y += std::sin(static_cast<float>(wave + v.x * 0.01f)) * a;
        return v;
    });
}
