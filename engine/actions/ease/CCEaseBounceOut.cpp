#include "engine/actions/ease/CCEaseBounceOut.h"

#include "engine/actions/ease/CCEaseBounceIn.h"

void CCEaseBounceOut::update(float t) {
    other_->update(bounceTime(t));
}

RefPtr<CCFiniteTimeAction> CCEaseBounceOut::reverse() const {
    return makeReverse<CCEaseBounceIn>();
}
