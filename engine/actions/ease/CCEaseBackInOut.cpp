#include "engine/actions/ease/CCEaseBackInOut.h"

void CCEaseBackInOut::update(float t) {
    constexpr float kOvershoot = 1.70158f * 1.525f;
    const float u = 2 * t;
    if (u < 1) {
        other_->update(0.5f * u * u * ((kOvershoot + 1) * u - kOvershoot));
    } else {
        const float v = u - 2;
        other_->update(0.5f * v * v * ((kOvershoot + 1) * v + kOvershoot) + 1);
    }
}
