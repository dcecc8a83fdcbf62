#include "engine/actions/instant/CCFlipY.h"

#include "engine/render/CCSprite.h"

RefPtr<CCFlipY> CCFlipY::actionWithFlipY(bool flipY) {
    RefPtr<CCFlipY> action = makeRef<CCFlipY>();
    action->initWithFlipY(flipY);
    return action;
}

bool CCFlipY::initWithFlipY(bool flipY) {
    CCActionInstant::init();
    flipY_ = flipY;
    return true;
}

RefPtr<CCAction> CCFlipY::copy() const {
    RefPtr<CCFlipY> copy(makeEmptyCopy());
    copy->initWithFlipY(flipY_);
    return copy;
}

RefPtr<CCFiniteTimeAction> CCFlipY::reverse() const { return actionWithFlipY(!flipY_); }

void CCFlipY::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    sprite_ = dynamic_cast<CCSprite*>(target);
}

void CCFlipY::update(float) {
    if (sprite_) sprite_->setFlipY(flipY_);
}
