#include "engine/actions/CCEaseBounceOut.h"

#include "engine/actions/CCEaseBounceIn.h"

void CCEaseBounceOut::update(float t) {
    other_->update(bounceTime(t));
}

RefPtr<CCFiniteTimeAction> CCEaseBounceOut::reverse() const {
    return makeReverse<CCEaseBounceIn>();
}
