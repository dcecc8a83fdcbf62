#include "engine/actions/grid/CCLiquid.h"

#include <cmath>

RefPtr<CCLiquid> CCLiquid::actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    auto action = makeRef<CCLiquid>();
    action->initWithWaves(waves, amplitude, gridSize, duration);
    return action;
}

bool CCLiquid::initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1;
    return true;
}

RefPtr<CCAction> CCLiquid::copy() const {
    RefPtr<CCLiquid> copy(makeEmptyCopy());
    copy->initWithWaves(waves_, amplitude_, gridSize(), duration_);
    return copy;
}

void CCLiquid::update(float t) {
    const double wave = phase(waves_, t);
    const float a = scaledAmplitude();
    const ccGridSize size = gridSize();
    deformVertices([&](ccGridSize p, ccVertex3F v) {
        if (p.x == 0 || p.y == 0 || p.x == size.x || p.y == size.y) return v;
        v.x += std::sin(static_cast<float>(wave + v.x * 0.01f)) * a;
        v.y += std::sin(static_cast<float>(wave + v.y * 0.01f)) * a;
        return v;
    });
}
