#include "engine/actions/ease/CCEaseBackOut.h"

#include "engine/actions/ease/CCEaseBackIn.h"

void CCEaseBackOut::update(float t) {
    const float u = t - 1;
    other_->update(u * u * (2.70158f * u + 1.70158f) + 1);
}

RefPtr<CCFiniteTimeAction> CCEaseBackOut::reverse() const {
    return makeReverse<CCEaseBackIn>();
}
