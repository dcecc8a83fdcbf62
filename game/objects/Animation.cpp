#include "game/objects/Animation.h"

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationFrame.h"
#include "engine/render/CCSprite.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

RefPtr<Animation> Animation::animationWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                               float scaleY) {
    RefPtr<Animation> decoration(new Animation);
    decoration->initGameObjectWithType(type);
    decoration->createAnimation(position, rotation, scaleX, scaleY);
    return decoration;
}

void Animation::createAnimation(CGPoint position, float rotation, float scaleX, float scaleY) {
    setPriority(1);
    createSimpleAnimation();
    if (animation() && !animation()->frames().empty()) {
        sprite_ = CCSprite::spriteWithSpriteFrame(animation()->frames()[0]->spriteFrame());
    }
    if (sprite_) {
        playSimpleAnimationWithSprite(sprite_.get());
    } else {
        sprite_ = ObjectPhysics::spriteWithFrameName(imageName() + ".png");
    }
    sprite_->setPosition(position);
    sprite_->setRotation(-rotation);
    sprite_->setScaleX(scaleX);
    sprite_->setScaleY(scaleY);
    ObjectPhysics::addToForeground(sprite_.get());
}

Animation::~Animation() { sprite_->removeFromParentAndCleanup(true); }

}  // namespace game
