#include "game/objects/BigBen.h"

#include <time.h>

#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/Level.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
BigBen::Clock& clockSource() {
    static BigBen::Clock clock;
    return clock;
}

RefPtr<CCSprite> hand(const Value& data, const char* imageKey, const char* anchorKey) {
    const std::string frame = data[imageKey].stringValue() + ".png";
    RefPtr<CCSprite> sprite = ObjectPhysics::spriteWithFrameName(frame);
    const CGSize size = MachineParts::frameSize(frame);
    const CGPoint pivot = CGPointFromString(data[anchorKey].stringValue());
    if (size.width > 0 && size.height > 0) {
        sprite->setAnchorPoint(CGPointMake(pivot.x / size.width, pivot.y / size.height));
    }
    return sprite;
}
}  // namespace

void BigBen::setClock(Clock clock) { clockSource() = std::move(clock); }

RefPtr<BigBen> BigBen::bigBenWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY) {
    RefPtr<BigBen> clock(new BigBen);
    clock->initGameObjectWithType(type);
    clock->createBigBen(position, rotation, scaleX, scaleY);
    return clock;
}

void BigBen::createBigBen(CGPoint position, float rotation, float scaleX, float scaleY) {
    setPriority(2);
    const Value& data = gameObjectData();
    RefPtr<CCSprite> big = hand(data, "big_hand_image_name", "big_hand_anchor_point");
    RefPtr<CCSprite> small = hand(data, "small_hand_image_name", "small_hand_anchor_point");
    sprite_ = makeRef<CCSprite>();
    sprite_->init();
    if (big->texture()) sprite_->setTexture(RefPtr<CCTexture2D>(big->texture()));
    sprite_->addChild(small.get());
    sprite_->addChild(big.get());
    bigHandSprite_ = big.get();
    smallHandSprite_ = small.get();
    sprite_->setPosition(position);
    sprite_->setRotation(-rotation);
    sprite_->setScaleX(scaleX);
    sprite_->setScaleY(scaleY);
    updateClock();
    ObjectPhysics::addToForeground(sprite_.get());
}

void BigBen::update(float) { updateClock(); }

void BigBen::updateClock() {
    tzset();  // follows a change of time zone
    const std::time_t now = clockSource() ? clockSource()() : std::time(nullptr);
    struct tm local {};
    if (!localtime_r(&now, &local)) return;
    const float hour = static_cast<float>(local.tm_hour);
    const float minute = static_cast<float>(local.tm_min);
    const float second = static_cast<float>(local.tm_sec);
    smallHandSprite_->setRotation((hour * 60 + minute) * 0.0013888889f * 360 - 90);
    bigHandSprite_->setRotation((minute * 60 + second) * 0.00027777778f * 360 - 90);
}

BigBen::~BigBen() {
    if (sprite_) sprite_->removeFromParentAndCleanup(true);
}

}  // namespace game
