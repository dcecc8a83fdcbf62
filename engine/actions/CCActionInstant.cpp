#include "engine/actions/CCActionInstant.h"

bool CCActionInstant::init() {
    CCFiniteTimeAction::init();
    duration_ = 0;
    return true;
}

RefPtr<CCAction> CCActionInstant::copy() const {
    RefPtr<CCActionInstant> copy(makeEmptyCopy());
    copy->init();
    return copy;
}

bool CCActionInstant::isDone() const {
    return true;
}

void CCActionInstant::step(float) {
    update(1);
}

void CCActionInstant::update(float) {}

RefPtr<CCFiniteTimeAction> CCActionInstant::reverse() const {
    return refCast<CCFiniteTimeAction>(copy());
}
