#include "game/objects/Bird.h"

#include "engine/core/CCNode.h"
#include "game/core/AnimationUtils.h"
#include "game/core/Level.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Stamina.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

RefPtr<Bird> Bird::birdWithType(int32_t type, CGPoint position, float rotation, float, float,
                                const Value& pathData) {
    RefPtr<Bird> bird(new Bird);
    bird->initGameObjectWithType(type);
    bird->createBird(position, rotation, pathData);
    return bird;
}

void Bird::createBird(CGPoint position, float rotation, const Value& pathData) {
    setPriority(2);
    const Value& data = gameObjectData();
    loadPhysicsSettingsFrom(data, &physics_, true);
    createSimpleAnimation();
    rules_.readContactKeys(data);
    rules_.readContactAnimation(data, typeName());
    rules_.readShooterKeys(data);
    animationStamina_ = Stamina::componentWithDictionary(data["animation_stamina"]);
    movementStamina_ = Stamina::componentWithDictionary(data["movement_stamina"]);
    if (GameObjectKinds::isKind("Bird", type())) createBirdGeneric(position, rotation, pathData);
}

void Bird::createBirdGeneric(CGPoint position, float rotation, const Value& pathData) {
    const Value& data = gameObjectData();
    physicsSprite_ = EnemyRules::createSprite(this);
    EnemyRules::showRhythm(this, animationStamina_.get(), physicsSprite_.get());
    rules_.createTurret(data, physicsSprite_.get());
    b2Body* body = rules_.createBody(this, physicsSprite_.get(), b2_dynamicBody, position, rotation, physics_, data,
                                     EnemyRules::kFlyingFilter, BindingType::kEnemy, true);
    physicsSprite_->synchronise();
    if (body) ObjectPhysics::addToSynchronised(body);

    movement_ = EnemyRules::createMovement(this, physicsSprite_->position(), physicsSprite_->rotation(), pathData,
                                           &movementNode_);
    // Without a movement nothing moves it: it stays where it was placed, whatever pushes it.
    EnemyRules::settleBody(body, movement_ != nullptr);
    EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerBackground);
}

Bird::~Bird() {
    if (movement_) EnemyRules::leaveAutoStop(getPrimaryBody());
    EnemyRules::release(this, physicsSprite_.get());
}

b2Body* Bird::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

void Bird::setMovement(RefPtr<MovementProtocol> movement) { movement_ = std::move(movement); }

uint32_t Bird::contactPlayer() {
    if (!rules_.admitContact()) return 0;
    rules_.hurtBee(physicsSprite_.get());
    playContactAnimation();
    return rules_.countContact(HitStatistic::kBird);
}

void Bird::visionContactPlayer() { rules_.visionContact(physicsSprite_.get()); }

void Bird::playContactAnimation() {
    if (!rules_.contactAnimation() || isStriking_ || !physicsSprite_) return;
    isStriking_ = true;
    AnimationUtils::playSimpleAnimation(RefPtr<CCAnimation>(rules_.contactAnimation()), physicsSprite_.get(), false);
}

void Bird::updateAnimationRhythm(float dt) {
    if (!physicsSprite_) return;
    if (!isStriking_) {
        if (animationStamina_ && animationStamina_->update(dt)) {
            EnemyRules::showRhythm(this, animationStamina_.get(), physicsSprite_.get());
        }
        return;
    }
    if (AnimationUtils::getSimpleAnimation(physicsSprite_.get())) return;
    isStriking_ = false;
    if (animationStamina_) animationStamina_->setActive(true);
    playSimpleAnimationWithSprite(physicsSprite_.get());
}

void Bird::update(float dt) {
    rules_.update(dt);
    updateAnimationRhythm(dt);
    if (!movement_) return;
    if (movementStamina_) {
        const bool changed = movementStamina_->update(dt);
        if (!movementStamina_->active()) {
            movement_->updateSystemPaused(dt);
        } else {
            if (changed) movement_->useRandomDirection();
            movement_->update(dt);
        }
    } else {
        movement_->update(dt);
    }
    EnemyRules::followNode(getPrimaryBody(), movementNode_.get(), physicsSprite_.get());
}

}  // namespace game
