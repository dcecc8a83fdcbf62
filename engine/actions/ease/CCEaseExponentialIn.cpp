#include "engine/actions/ease/CCEaseExponentialIn.h"

#include <cmath>

#include "engine/actions/ease/CCEaseExponentialOut.h"

void CCEaseExponentialIn::update(float t) {
    other_->update(t == 0 ? 0 : std::exp2(10 * (t - 1)) - 0.001f);
}

RefPtr<CCFiniteTimeAction> CCEaseExponentialIn::reverse() const {
    return makeReverse<CCEaseExponentialOut>();
}
