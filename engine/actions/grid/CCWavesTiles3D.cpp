#include "engine/actions/grid/CCWavesTiles3D.h"

#include <cmath>

RefPtr<CCWavesTiles3D> CCWavesTiles3D::actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize,
                                                       float duration) {
    auto action = makeRef<CCWavesTiles3D>();
    action->initWithWaves(waves, amplitude, gridSize, duration);
    return action;
}

bool CCWavesTiles3D::initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1;
    return true;
}

RefPtr<CCAction> CCWavesTiles3D::copy() const {
    RefPtr<CCWavesTiles3D> copy(makeEmptyCopy());
    copy->initWithWaves(waves_, amplitude_, gridSize(), duration_);
    return copy;
}

void CCWavesTiles3D::update(float t) {
    const double wave = phase(waves_, t);
    const float a = scaledAmplitude();
    deformTiles([&](ccGridSize, ccQuad3 q) {
        const float z = std::sin(static_cast<float>(wave + (q.bl.x + q.bl.y) * 0.01f)) * a;
        q.bl.z = q.br.z = q.tl.z = q.tr.z = z;
        return q;
    });
}
