#include "engine/actions/grid/CCPageTurn3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

RefPtr<CCPageTurn3D> CCPageTurn3D::actionWithSize(ccGridSize gridSize, float duration) {
    return made<CCPageTurn3D>(gridSize, duration);
}

void CCPageTurn3D::update(float t) {
    constexpr float kHalfPi = std::numbers::pi_v<float> / 2;
    // The cone's half-angle, pi/2 (flat) at the start to 0 (closed on its axis) at the end.
    const float theta = kHalfPi - kHalfPi * std::sqrt(t);
    const float sinT = std::sin(theta);
    const float cosT = std::cos(theta);
    const float late = std::max(t - 0.25f, 0.0f);
    const float apexY = -100 - 500 * late * late;  // points below the page
    deformVertices([&](ccGridSize, ccVertex3F p) {
        const float R = std::sqrt(p.x * p.x + (p.y - apexY) * (p.y - apexY));
        ccVertex3F v = p;
        if (sinT <= 0) {
            // Fully turned: the cone has closed on its axis.
            v.x = 0;
            v.y = R + apexY;
            v.z = 0.5f;
            return v;
        }
        const float r = R * sinT;
        const float alpha = std::asin(p.x / R);
        const float beta = alpha / sinT;
        const float cosB = std::cos(beta);
        v.x = static_cast<double>(beta) <= std::numbers::pi ? r * std::sin(beta) : 0;
        v.y = R + apexY - r * (1 - cosB) * sinT;
        // Never below the page underneath.
        v.z = std::max(r * (1 - cosB) * cosT / 7, 0.5f);
        return v;
    });
}
