#include "engine/actions/grid/CCWaves3D.h"

#include <cmath>

RefPtr<CCWaves3D> CCWaves3D::actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    auto action = makeRef<CCWaves3D>();
    action->initWithWaves(waves, amplitude, gridSize, duration);
    return action;
}

bool CCWaves3D::initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1;
    return true;
}

RefPtr<CCAction> CCWaves3D::copy() const {
    RefPtr<CCWaves3D> copy(makeEmptyCopy());
    copy->initWithWaves(waves_, amplitude_, gridSize(), duration_);
    return copy;
}

void CCWaves3D::update(float t) {
    const double wave = phase(waves_, t);
    const float a = scaledAmplitude();
    deformVertices([&](ccGridSize, ccVertex3F v) {
        v.z += std::sin(static_cast<float>(wave + (v.x + v.y) * 0.01f)) * a;
        return v;
    });
}
