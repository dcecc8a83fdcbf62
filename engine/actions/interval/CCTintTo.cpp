#include "engine/actions/interval/CCTintTo.h"

#include "engine/actions/interval/ccPropertyActionMath.h"
#include "engine/core/CCRGBAProtocol.h"

RefPtr<CCTintTo> CCTintTo::actionWithDuration(float duration, uint8_t red, uint8_t green, uint8_t blue) {
    RefPtr<CCTintTo> action = makeRef<CCTintTo>();
    action->initWithDuration(duration, red, green, blue);
    return action;
}

bool CCTintTo::initWithDuration(float duration, uint8_t red, uint8_t green, uint8_t blue) {
    CCActionInterval::initWithDuration(duration);
    to_ = {red, green, blue};
    return true;
}

RefPtr<CCAction> CCTintTo::copy() const {
    RefPtr<CCTintTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, to_.r, to_.g, to_.b);
    return copy;
}

void CCTintTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = dynamic_cast<CCRGBAProtocol*>(target);
    if (rgba_) from_ = rgba_->color();
}

void CCTintTo::update(float t) {
    if (!rgba_) return;
    const auto channel = [t](uint8_t from, uint8_t to) { return ccByteClamped(from + (to - from) * t); };
    rgba_->setColor({channel(from_.r, to_.r), channel(from_.g, to_.g), channel(from_.b, to_.b)});
}
