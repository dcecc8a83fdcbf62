#include "engine/actions/ease/CCEaseInOut.h"

#include <cmath>

void CCEaseInOut::update(float t) {
    const float u = 2 * t;
    other_->update(u < 1 ? 0.5f * std::pow(u, rate_) : 1 - 0.5f * std::pow(2 - u, rate_));
}

RefPtr<CCFiniteTimeAction> CCEaseInOut::reverse() const {
    return reverseWithRate(rate_);
}
