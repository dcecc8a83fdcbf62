#include "engine/actions/ease/CCEaseBounceIn.h"

#include "engine/actions/ease/CCEaseBounceOut.h"

void CCEaseBounceIn::update(float t) {
    other_->update(1 - bounceTime(1 - t));
}

RefPtr<CCFiniteTimeAction> CCEaseBounceIn::reverse() const {
    return makeReverse<CCEaseBounceOut>();
}
