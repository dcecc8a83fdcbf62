#include "game/objects/RoboCam.h"

#include "engine/core/CCNode.h"
#include "game/core/Level.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Stamina.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {}  // namespace

RefPtr<RoboCam> RoboCam::roboCamWithType(int32_t type, CGPoint position, float rotation, float, float,
                                         const Value& pathData) {
    RefPtr<RoboCam> camera(new RoboCam);
    camera->initGameObjectWithType(type);
    camera->createRoboCam(position, rotation, pathData);
    return camera;
}

void RoboCam::createRoboCam(CGPoint position, float rotation, const Value& pathData) {
    setPriority(2);
    const Value& data = gameObjectData();
    loadPhysicsSettingsFrom(data, &physics_, true);
    loadPhysicsSettingsFrom(data["pivot"], &pivotPhysics_, true);
    loadPhysicsRotationJointSettingsFrom(data["pivot"]["rotation_joint"], &joint_, true);
    createSimpleAnimation();
    rules_.readContactKeys(data);
    rules_.readShooterKeys(data);
    stamina_ = Stamina::componentWithDictionary(data["stamina"]);
    if (GameObjectKinds::isKind("RoboCam", type())) createRoboCamGeneric(position, rotation, pathData);
}

void RoboCam::createRoboCamGeneric(CGPoint position, float rotation, const Value& pathData) {
    const Value& data = gameObjectData();
    physicsSprite_ = EnemyRules::createSprite(this);
    EnemyRules::showRhythm(this, stamina_.get(), physicsSprite_.get());
    rules_.createTurret(data, physicsSprite_.get());
    b2Body* body = rules_.createBody(this, physicsSprite_.get(), b2_dynamicBody, position, rotation, physics_, data,
                                     EnemyRules::kGroundFilter, BindingType::kEnemy, true);
    if (!body) return;
    ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();

    pivotBody_ = ObjectPhysics::createBody(b2_kinematicBody, position, rotation, pivotPhysics_);
    if (!pivotBody_) return;
    b2RevoluteJointDef hinge;
    hinge.Initialize(pivotBody_, body, pivotBody_->GetPosition());
    hinge.collideConnected = false;
    hinge.enableLimit = joint_.limitEnabled;
    hinge.lowerAngle = joint_.lowerAngle * units::kRadiansPerDegree;
    hinge.upperAngle = joint_.upperAngle * units::kRadiansPerDegree;
    hinge.enableMotor = joint_.motorEnabled;
    hinge.motorSpeed = joint_.motorSpeed;  // radians per second as given
    hinge.maxMotorTorque = joint_.motorMaxTorque;
    body->GetWorld()->CreateJoint(&hinge);

    const CGPoint pivot = CGPointMake(pivotBody_->GetPosition().x * units::kPointsPerMetre,
                                      pivotBody_->GetPosition().y * units::kPointsPerMetre);
    movement_ = EnemyRules::createMovement(this, pivot, -(pivotBody_->GetAngle() * units::kDegreesPerRadian), pathData,
                                           &movementNode_);
    EnemyRules::settleBody(pivotBody_, movement_ != nullptr);
    ObjectPhysics::addToGravity(body);
    EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerForeground);
}

RoboCam::~RoboCam() {
    // Destroying the pivot also destroys the joint; a world being torn down takes both with it.
    if (pivotBody_ && PhysicsSprite::autoDestroyAllBodies()) {
        if (movement_) EnemyRules::leaveAutoStop(pivotBody_);
        if (b2World* world = pivotBody_->GetWorld(); !world->IsLocked()) world->DestroyBody(pivotBody_);
    }
    EnemyRules::release(this, physicsSprite_.get());
}

b2Body* RoboCam::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

void RoboCam::update(float dt) {
    rules_.updateWalk(this, physicsSprite_.get(), stamina_.get(), movement_.get(), movementNode_.get(), pivotBody_,
                      nullptr, dt);
}

void RoboCam::setMovement(RefPtr<MovementProtocol> movement) { movement_ = std::move(movement); }

uint32_t RoboCam::contactPlayer() { return rules_.contact(physicsSprite_.get(), HitStatistic::kGround); }

void RoboCam::visionContactPlayer() { rules_.visionContact(physicsSprite_.get()); }

}  // namespace game
