#include "engine/actions/ease/CCEaseExponentialOut.h"

#include <cmath>

#include "engine/actions/ease/CCEaseExponentialIn.h"

void CCEaseExponentialOut::update(float t) {
    other_->update(t == 1 ? 1 : 1 - std::exp2(-10 * t));
}

RefPtr<CCFiniteTimeAction> CCEaseExponentialOut::reverse() const {
    return makeReverse<CCEaseExponentialIn>();
}
