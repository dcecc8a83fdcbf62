#include "engine/actions/ease/CCEaseSineIn.h"

#include <cmath>

#include "engine/actions/ease/CCEaseSineOut.h"

void CCEaseSineIn::update(float t) {
    other_->update(1 - std::cos(t * kHalfPi));
}

RefPtr<CCFiniteTimeAction> CCEaseSineIn::reverse() const {
    return makeReverse<CCEaseSineOut>();
}
