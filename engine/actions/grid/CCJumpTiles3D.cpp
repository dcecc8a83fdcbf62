#include "engine/actions/grid/CCJumpTiles3D.h"

#include <cmath>
#include <numbers>

RefPtr<CCJumpTiles3D> CCJumpTiles3D::actionWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize,
                                                     float duration) {
    auto action = makeRef<CCJumpTiles3D>();
    action->initWithJumps(jumps, amplitude, gridSize, duration);
    return action;
}

bool CCJumpTiles3D::initWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    jumps_ = jumps;
    amplitude_ = amplitude;
    amplitudeRate_ = 1;
    return true;
}

RefPtr<CCAction> CCJumpTiles3D::copy() const {
    RefPtr<CCJumpTiles3D> copy(makeEmptyCopy());
    copy->initWithJumps(jumps_, amplitude_, gridSize(), duration_);
    return copy;
}

void CCJumpTiles3D::update(float t) {
    const float a = scaledAmplitude();
    const float even = std::sin(static_cast<float>(phase(jumps_, t))) * a;
    const float odd = std::sin(static_cast<float>(std::numbers::pi * (2.0 * jumps_ * t + 1))) * a;
    deformTiles([&](ccGridSize p, ccQuad3 q) {
        const float dz = (p.x + p.y) % 2 == 0 ? even : odd;
        for (ccVertex3F* corner : {&q.bl, &q.br, &q.tl, &q.tr}) corner->z += dz;
        return q;
    });
}
