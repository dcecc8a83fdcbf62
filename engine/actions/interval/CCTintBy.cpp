#include "engine/actions/interval/CCTintBy.h"

#include "engine/actions/interval/ccPropertyActionMath.h"
#include "engine/core/CCRGBAProtocol.h"

RefPtr<CCTintBy> CCTintBy::actionWithDuration(float duration, int16_t deltaRed, int16_t deltaGreen,
                                              int16_t deltaBlue) {
    RefPtr<CCTintBy> action = makeRef<CCTintBy>();
    action->initWithDuration(duration, deltaRed, deltaGreen, deltaBlue);
    return action;
}

bool CCTintBy::initWithDuration(float duration, int16_t deltaRed, int16_t deltaGreen, int16_t deltaBlue) {
    CCActionInterval::initWithDuration(duration);
    deltaR_ = deltaRed;
    deltaG_ = deltaGreen;
    deltaB_ = deltaBlue;
    return true;
}

RefPtr<CCTintBy> CCTintBy::makeWith(int16_t deltaRed, int16_t deltaGreen, int16_t deltaBlue) const {
    RefPtr<CCTintBy> action(makeEmptyCopy());
    action->initWithDuration(duration_, deltaRed, deltaGreen, deltaBlue);
    return action;
}

RefPtr<CCAction> CCTintBy::copy() const {
    return makeWith(deltaR_, deltaG_, deltaB_);
}

RefPtr<CCFiniteTimeAction> CCTintBy::reverse() const {
    // -(-32768) does not fit a GLshort; it wraps back to -32768 as the 16-bit amount would.
    return makeWith(static_cast<int16_t>(-deltaR_), static_cast<int16_t>(-deltaG_), static_cast<int16_t>(-deltaB_));
}

void CCTintBy::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = dynamic_cast<CCRGBAProtocol*>(target);
    if (!rgba_) return;
    const ccColor3B color = rgba_->color();
    fromR_ = color.r;
    fromG_ = color.g;
    fromB_ = color.b;
}

void CCTintBy::update(float t) {
    if (!rgba_) return;
    rgba_->setColor({ccByteWrapped(fromR_ + deltaR_ * t), ccByteWrapped(fromG_ + deltaG_ * t),
                     ccByteWrapped(fromB_ + deltaB_ * t)});
}
