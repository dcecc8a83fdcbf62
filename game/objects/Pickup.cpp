#include "game/objects/Pickup.h"

#include <cmath>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationFrame.h"
#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/SimpleSoundEffect.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/SimpleEffect.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int16_t kGroup = 5;

int32_t clampedInt32(double value) {
    if (!std::isfinite(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}
}  // namespace

bool Pickup::isBuiltType(int32_t type) {
    switch (type) {
        case 100: case 102: case 105: case 106: case 108: case 109: case 110: case 111: case 112: case 113:
        case 120: case 121: case 122: case 123:
            return true;
        default:
            return false;
    }
}

RefPtr<Pickup> Pickup::pickupWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY) {
    RefPtr<Pickup> pickup(new Pickup);
    pickup->initGameObjectWithType(type);
    if (!pickup->createPickup(position, rotation, scaleX, scaleY)) return nullptr;
    return pickup;
}

bool Pickup::createPickup(CGPoint position, float rotation, float scaleX, float scaleY) {
    setPriority(1);
    const Value& data = gameObjectData();
    if (isBuiltType(type()) && !ObjectPhysics::isUsableScale(scaleX, scaleY, "pickup", type())) return false;
    loadPhysicsSettingsFrom(data, &physics_, true);
    const Value& removal = data["remove_after_consumption"];
    removeAfterConsumption_ = removal.isNone() || removal.boolValue();

    nectarDroplets_ = clampedInt32(data["nectar"].doubleValue() * 100000);
    const double honey = data["honey"].doubleValue();
    honeyDroplets_ = honey > 0 ? clampedInt32(honey * 100000) : 0;
    timeDifference_ = clampedInt32(data["time"].doubleValue());
    buddies_ = clampedInt32(data["buddies"].doubleValue());

    armour_ = HitPoints::read(data);
    if (armour_.isArmoured()) {
        for (const Value& name : data["image_names"].elements()) spriteFrameNames_.push_back(name.stringValue());
        const size_t needed = removeAfterConsumption_ ? 2 : 3;
        if (spriteFrameNames_.size() < needed) {
            armour_ = HitPoints{};
            spriteFrameNames_.clear();
        }
    }
    if (armour_.isArmoured()) {
        availableInstantly_ = false;
        spriteNameConsumedIndex_ = 0;
        spriteNameAvailableIndex_ = removeAfterConsumption_ ? 0 : 1;
        spriteNameDamageIndexStart_ = spriteNameAvailableIndex_ + 1;
        spriteNameDamageIndexEnd_ = static_cast<uint32_t>(spriteFrameNames_.size() - 1);
    } else {
        createSimpleAnimation();
    }

    consumptionEffect_ = SimpleEffect::simpleEffectWithDictionary(data["consumption_effect"]);
    damageSoundEffect_ = SimpleSoundEffect::simpleSoundEffectWithDictionary(data["damage_sound_effect"]);
    destructionSoundEffect_ = SimpleSoundEffect::simpleSoundEffectWithDictionary(data["destruction_sound_effect"]);
    consumptionSoundEffect_ = SimpleSoundEffect::simpleSoundEffectWithDictionary(data["consumption_sound_effect"]);

    if (isBuiltType(type())) return createBonus(position, rotation, scaleX, scaleY);
    return true;
}

bool Pickup::createBonus(CGPoint position, float rotation, float scaleX, float scaleY) {
    if (armour_.isArmoured()) {
        physicsSprite_ = ObjectPhysics::physicsSpriteWithFrameName(spriteFrameNames_[spriteNameDamageIndexEnd_]);
        shownImageIndex_ = static_cast<int32_t>(spriteNameDamageIndexEnd_);
    } else if (animation() && !animation()->frames().empty()) {
        physicsSprite_ = PhysicsSprite::spriteWithSpriteFrame(animation()->frames()[0]->spriteFrame());
        if (!physicsSprite_) physicsSprite_ = PhysicsSprite::node();
        playSimpleAnimationWithSprite(physicsSprite_.get());
    } else {
        physicsSprite_ = ObjectPhysics::physicsSpriteWithFrameName(imageName() + ".png");
    }
    physicsSprite_->setScaleX(scaleX);
    physicsSprite_->setScaleY(scaleY);

    b2Body* body = ObjectPhysics::createBodyWithFixtures(
        physicsSprite_.get(), b2_dynamicBody, position, rotation, physics_, gameObjectData()["fixtures"],
        {kGroup, CollisionCategory::kPickup, collision::kPickupMask}, scaleX, scaleY);
    if (!body) return ObjectPhysics::keepsWithoutBody("pickup", type());
    physicsSprite_->physicsSystemBinding()->type = BindingType::kPickup;
    physicsSprite_->physicsSystemBinding()->gameObject = this;
    usesGravity_ = false;
    for (const b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        usesGravity_ = usesGravity_ || !fixture->IsSensor();
    }
    if (usesGravity_) {
        ObjectPhysics::addToGravity(body);
        ObjectPhysics::addToSynchronised(body);
    } else {
        body->SetType(b2_staticBody);
    }
    physicsSprite_->synchronise();
    ObjectPhysics::addToForeground(physicsSprite_.get());
    return true;
}

Pickup::~Pickup() { ObjectPhysics::releaseSprite(physicsSprite_.get(), this); }

b2Body* Pickup::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

void Pickup::showImage(uint32_t index) {
    if (!physicsSprite_ || index >= spriteFrameNames_.size()) return;
    shownImageIndex_ = static_cast<int32_t>(index);
    ObjectPhysics::showFrame(physicsSprite_.get(), spriteFrameNames_[index]);
}

void Pickup::consume() {
    if (isGone()) return;
    RefPtr<Pickup> keepAlive(this);  // leaving the level may drop the last other reference
    active_ = false;
    if (armour_.isArmoured()) showImage(spriteNameConsumedIndex_);
    armour_.clear();
    nectarDroplets_ = honeyDroplets_ = timeDifference_ = buddies_ = 0;
    if (consumptionSoundEffect_) consumptionSoundEffect_->play();
    if (!removeAfterConsumption_) return;
    if (consumptionEffect_ && physicsSprite_) {
        consumptionEffect_->showAt(physicsSprite_->position(), physicsSprite_->rotation());
    }
    markGone();
    if (parent()) {
        parent()->removeChild(this);
    } else if (Level* level = Level::currentLevel()) {
        level->removePickup(this);
    }
}

void Pickup::applyDamage() {
    switch (armour_.applyAccumulatedImpulse()) {
        case HitPoints::Hit::kNone:
            break;
        case HitPoints::Hit::kBroken:
            availableInstantly_ = true;
            showImage(spriteNameAvailableIndex_);
            if (destructionSoundEffect_) destructionSoundEffect_->play();
            break;
        case HitPoints::Hit::kDamaged:
            showImage(armour_.frameIndex(spriteNameDamageIndexStart_, spriteNameDamageIndexEnd_));
            if (damageSoundEffect_) damageSoundEffect_->play();
            break;
    }
}

void Pickup::destroy() {
    removeAfterConsumption_ = true;
    consume();
}

}  // namespace game
