#include "game/objects/Destructable.h"

#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/SimpleSoundEffect.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/SimpleEffect.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int16_t kGroup = 6;
constexpr int32_t kPlankBoxType = 400;

bool isScaledType(int32_t type) { return type >= 400 && type <= 403; }
bool isBuiltType(int32_t type) { return isScaledType(type) || (type >= 450 && type <= 456); }
}  // namespace

RefPtr<Destructable> Destructable::destructableWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                                        float scaleY) {
    RefPtr<Destructable> destructable(new Destructable);
    destructable->initGameObjectWithType(type);
    if (!destructable->createDestructable(position, rotation, scaleX, scaleY)) return nullptr;
    return destructable;
}

bool Destructable::createDestructable(CGPoint position, float rotation, float scaleX, float scaleY) {
    setPriority(1);
    const Value& data = gameObjectData();
    if (isScaledType(type()) && !ObjectPhysics::isUsableScale(scaleX, scaleY, "destructable", type())) return false;
    GameObjectPhysicsData physics;
    loadPhysicsSettingsFrom(data, &physics, true);
    active_ = true;
    isStaticBody_ = data["is_static_body"].boolValue();
    usesGravity_ = !isStaticBody_;
    hitPoints_ = HitPoints::read(data);
    if (hitPoints_.isArmoured()) {
        for (const Value& name : data["image_names"].elements()) spriteFrameNames_.push_back(name.stringValue());
        if (spriteFrameNames_.empty()) hitPoints_ = HitPoints{};
    }
    lastSpriteFrameIndex_ = spriteFrameNames_.empty() ? 0 : static_cast<uint32_t>(spriteFrameNames_.size() - 1);
    damageSoundEffect_ = SimpleSoundEffect::simpleSoundEffectWithDictionary(data["damage_sound_effect"]);
    destructionSoundEffect_ = SimpleSoundEffect::simpleSoundEffectWithDictionary(data["destruction_sound_effect"]);
    destructionEffect_ = SimpleEffect::simpleEffectWithDictionary(data["destruction_effect"]);
    if (!isBuiltType(type())) return true;

    if (!isScaledType(type())) scaleX = scaleY = 1;
    if (hitPoints_.isArmoured()) {
        physicsSprite_ = ObjectPhysics::physicsSpriteWithFrameName(spriteFrameNames_[lastSpriteFrameIndex_]);
        shownImageIndex_ = static_cast<int32_t>(lastSpriteFrameIndex_);
    } else {
        physicsSprite_ = ObjectPhysics::physicsSpriteWithFrameName(imageName() + ".png");
    }
    if (isScaledType(type())) {
        physicsSprite_->setScaleX(scaleX);
        physicsSprite_->setScaleY(scaleY);
    }
    const bool plankBox = type() == kPlankBoxType;
    const CollisionCategory category = plankBox ? CollisionCategory::kPlankBox : CollisionCategory::kDestructable;
    const CollisionMask mask = plankBox ? collision::kPlankBoxMask : collision::kSolidMask;
    b2Body* body = ObjectPhysics::createBodyWithFixtures(
        physicsSprite_.get(), isStaticBody_ ? b2_staticBody : b2_dynamicBody, position, rotation, physics,
        data["fixtures"], {kGroup, category, mask}, scaleX, scaleY);
    if (!body) return ObjectPhysics::keepsWithoutBody("destructable", type());
    physicsSprite_->physicsSystemBinding()->type = BindingType::kDestructable;
    physicsSprite_->physicsSystemBinding()->gameObject = this;
    if (usesGravity_) {
        ObjectPhysics::addToGravity(body);
        ObjectPhysics::addToSynchronised(body);
    }
    physicsSprite_->synchronise();
    ObjectPhysics::addToForeground(physicsSprite_.get());
    return true;
}

Destructable::~Destructable() { ObjectPhysics::releaseSprite(physicsSprite_.get(), this); }

void Destructable::showImage(uint32_t index) {
    if (!physicsSprite_ || index >= spriteFrameNames_.size()) return;
    shownImageIndex_ = static_cast<int32_t>(index);
    ObjectPhysics::showFrame(physicsSprite_.get(), spriteFrameNames_[index]);
}

void Destructable::applyDamage() {
    switch (hitPoints_.applyAccumulatedImpulse()) {
        case HitPoints::Hit::kNone:
            break;
        case HitPoints::Hit::kBroken:
            destroy();
            break;
        case HitPoints::Hit::kDamaged:
            showImage(hitPoints_.frameIndex(0, lastSpriteFrameIndex_));
            if (damageSoundEffect_) damageSoundEffect_->play();
            break;
    }
}

void Destructable::destroy() {
    if (isGone()) return;
    RefPtr<Destructable> keepAlive(this);  // leaving the level may drop the last other reference
    active_ = false;
    showImage(0);
    hitPoints_.clear();
    if (destructionSoundEffect_) destructionSoundEffect_->play();
    if (destructionEffect_ && physicsSprite_) {
        destructionEffect_->showAt(physicsSprite_->position(), physicsSprite_->rotation());
    }
    markGone();
    if (parent()) {
        parent()->removeChild(this);
    } else if (Level* level = Level::currentLevel()) {
        level->removeDestructable(this);
    }
}

}  // namespace game
