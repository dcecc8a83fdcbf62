#include "engine/actions/ease/CCEaseSineOut.h"

#include <cmath>

#include "engine/actions/ease/CCEaseSineIn.h"

void CCEaseSineOut::update(float t) {
    other_->update(std::sin(t * kHalfPi));
}

RefPtr<CCFiniteTimeAction> CCEaseSineOut::reverse() const {
    return makeReverse<CCEaseSineIn>();
}
