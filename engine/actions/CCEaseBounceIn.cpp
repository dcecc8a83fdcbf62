#include "engine/actions/CCEaseBounceIn.h"

#include "engine/actions/CCEaseBounceOut.h"

void CCEaseBounceIn::update(float t) {
    other_->update(1 - bounceTime(1 - t));
}

RefPtr<CCFiniteTimeAction> CCEaseBounceIn::reverse() const {
    return makeReverse<CCEaseBounceOut>();
}
