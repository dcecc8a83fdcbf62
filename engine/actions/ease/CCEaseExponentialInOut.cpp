#include "engine/actions/ease/CCEaseExponentialInOut.h"

#include <cmath>

void CCEaseExponentialInOut::update(float t) {
    const float u = 2 * t - 1;
    other_->update(2 * t < 1 ? 0.5f * std::exp2(10 * u) : 0.5f * (2 - std::exp2(-10 * u)));
}
