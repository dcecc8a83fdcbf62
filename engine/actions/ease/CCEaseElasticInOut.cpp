#include "engine/actions/ease/CCEaseElasticInOut.h"

#include <cmath>

void CCEaseElasticInOut::update(float t) {
    if (t == 0 || t == 1) {
        other_->update(t);
        return;
    }
    const float p = periodOr(kDefaultPeriod * 1.5f);
    const float s = p / 4;
    const float u = 2 * t - 1;
    const float wave = std::sin((u - s) * (2 * kPi) / p);
    other_->update(u < 0 ? -0.5f * std::exp2(10 * u) * wave : 0.5f * std::exp2(-10 * u) * wave + 1);
}

RefPtr<CCFiniteTimeAction> CCEaseElasticInOut::reverse() const {
    return makeReverse<CCEaseElasticInOut>(period_);
}
