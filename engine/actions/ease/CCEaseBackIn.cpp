#include "engine/actions/ease/CCEaseBackIn.h"

#include "engine/actions/ease/CCEaseBackOut.h"

void CCEaseBackIn::update(float t) {
    other_->update(t * t * (2.70158f * t - 1.70158f));
}

RefPtr<CCFiniteTimeAction> CCEaseBackIn::reverse() const {
    return makeReverse<CCEaseBackOut>();
}
