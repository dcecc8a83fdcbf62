#include "engine/actions/instant/CCFlipX.h"

#include "engine/render/CCSprite.h"

RefPtr<CCFlipX> CCFlipX::actionWithFlipX(bool flipX) {
    RefPtr<CCFlipX> action = makeRef<CCFlipX>();
    action->initWithFlipX(flipX);
    return action;
}

bool CCFlipX::initWithFlipX(bool flipX) {
    CCActionInstant::init();
    flipX_ = flipX;
    return true;
}

RefPtr<CCAction> CCFlipX::copy() const {
    RefPtr<CCFlipX> copy(makeEmptyCopy());
    copy->initWithFlipX(flipX_);
    return copy;
}

RefPtr<CCFiniteTimeAction> CCFlipX::reverse() const { return actionWithFlipX(!flipX_); }

void CCFlipX::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    sprite_ = dynamic_cast<CCSprite*>(target);
}

void CCFlipX::update(float) {
    if (sprite_) sprite_->setFlipX(flipX_);
}
