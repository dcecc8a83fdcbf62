#include "engine/actions/ease/CCEaseElasticIn.h"

#include <cmath>

#include "engine/actions/ease/CCEaseElasticOut.h"

void CCEaseElasticIn::update(float t) {
    if (t == 0 || t == 1) {
        other_->update(t);
        return;
    }
    const float p = periodOr(kDefaultPeriod);
    const float s = p / 4;
    other_->update(-std::exp2(10 * (t - 1)) * std::sin((t - 1 - s) * (2 * kPi) / p));
}

RefPtr<CCFiniteTimeAction> CCEaseElasticIn::reverse() const {
    return makeReverse<CCEaseElasticOut>(period_);
}
