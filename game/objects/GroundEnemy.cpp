#include "game/objects/GroundEnemy.h"

#include "engine/core/CCNode.h"
#include "game/core/Level.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Stamina.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

RefPtr<GroundEnemy> GroundEnemy::groundEnemyWithType(int32_t type, CGPoint position, float rotation, float, float,
                                                     const Value& pathData, b2Body* joinToBody) {
    RefPtr<GroundEnemy> enemy(new GroundEnemy);
    enemy->initGameObjectWithType(type);
    enemy->createGroundEnemy(position, rotation, pathData, joinToBody);
    return enemy;
}

void GroundEnemy::createGroundEnemy(CGPoint position, float rotation, const Value& pathData, b2Body* joinToBody) {
    setPriority(2);
    const Value& data = gameObjectData();
    loadPhysicsSettingsFrom(data, &physics_, true);
    createSimpleAnimation();
    rules_.readContactKeys(data);
    rules_.readShooterKeys(data);
    stamina_ = Stamina::componentWithDictionary(data["stamina"]);
    // The robot camera's code builds a ground enemy too when one is asked for by it (structure cargo).
    if (GameObjectKinds::isKind("GroundEnemy", type()) || GameObjectKinds::isKind("RoboCam", type())) {
        createGroundEnemyGeneric(position, rotation, pathData, joinToBody);
    }
}

void GroundEnemy::createGroundEnemyGeneric(CGPoint position, float rotation, const Value& pathData,
                                           b2Body* joinToBody) {
    const Value& data = gameObjectData();
    physicsSprite_ = EnemyRules::createSprite(this);
    EnemyRules::showRhythm(this, stamina_.get(), physicsSprite_.get());
    rules_.createTurret(data, physicsSprite_.get());
    b2Body* body = rules_.createBody(this, physicsSprite_.get(), b2_dynamicBody, position, rotation, physics_, data,
                                     EnemyRules::kGroundFilter, BindingType::kEnemy, true);
    physicsSprite_->synchronise();
    if (body) ObjectPhysics::addToSynchronised(body);

    movement_ = EnemyRules::createMovement(this, physicsSprite_->position(), physicsSprite_->rotation(), pathData,
                                           &movementNode_);
    if (movement_) {
        EnemyRules::settleBody(body, true);
    } else {
        // Built on a structure: it rides the structure's body, still dynamic and synchronised.
        if (joinToBody && body) {
            joinWeldBody(body, joinToBody, physicsSprite_->position());
        } else {
            EnemyRules::settleBody(body, false);
        }
    }
    EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerForeground);
}

GroundEnemy::~GroundEnemy() {
    if (movement_) EnemyRules::leaveAutoStop(getPrimaryBody());
    EnemyRules::release(this, physicsSprite_.get());
}

b2Body* GroundEnemy::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

void GroundEnemy::update(float dt) {
    rules_.updateWalk(this, physicsSprite_.get(), stamina_.get(), movement_.get(), movementNode_.get(),
                      getPrimaryBody(), physicsSprite_.get(), dt);
}

void GroundEnemy::setMovement(RefPtr<MovementProtocol> movement) { movement_ = std::move(movement); }

uint32_t GroundEnemy::contactPlayer() { return rules_.contact(physicsSprite_.get(), HitStatistic::kGround); }

void GroundEnemy::visionContactPlayer() { rules_.visionContact(physicsSprite_.get()); }

}  // namespace game
