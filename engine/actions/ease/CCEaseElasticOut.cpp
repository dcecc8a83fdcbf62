#include "engine/actions/ease/CCEaseElasticOut.h"

#include <cmath>

#include "engine/actions/ease/CCEaseElasticIn.h"

void CCEaseElasticOut::update(float t) {
    if (t == 0 || t == 1) {
        other_->update(t);
        return;
    }
    const float p = periodOr(kDefaultPeriod);
    const float s = p / 4;
    other_->update(std::exp2(-10 * t) * std::sin((t - s) * (2 * kPi) / p) + 1);
}

RefPtr<CCFiniteTimeAction> CCEaseElasticOut::reverse() const {
    return makeReverse<CCEaseElasticIn>(period_);
}
