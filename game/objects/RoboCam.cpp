#include "game/objects/RoboCam.h"

#include "engine/core/CCNode.h"
#include "game/core/Level.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Stamina.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr float kRadiansToDegrees = 57.29578f;
}  // namespace

RefPtr<RoboCam> RoboCam::roboCamWithGameData(const Value& data) {
    RefPtr<RoboCam> camera(new RoboCam);
    camera->initGameObjectWithGameData(data);
    GameObjectBasicData basic;
    loadGameObjectSettingsFrom(data, &basic, true);
    camera->createRoboCam(basic.position, basic.rotation, data["linear_path_data"]);
    return camera;
}

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
    if (type() == kRoboCamType) createRoboCamGeneric(position, rotation, pathData);
}

void RoboCam::createRoboCamGeneric(CGPoint position, float rotation, const Value& pathData) {
    const Value& data = gameObjectData();
    physicsSprite_ = EnemyRules::createSprite(this);
    EnemyRules::showRhythm(this, stamina_.get(), physicsSprite_.get());
    rules_.createTurret(data, physicsSprite_.get());
    b2Body* body = rules_.createBody(this, physicsSprite_.get(), b2_dynamicBody, position, rotation, physics_, data,
                                     EnemyRules::kGroundFilter, EnemyRules::kEnemyBinding, true);
    if (!body) return;
    ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();

    pivotBody_ = ObjectPhysics::createBody(b2_kinematicBody, position, rotation, pivotPhysics_);
    if (!pivotBody_) return;
    b2RevoluteJointDef hinge;
    hinge.Initialize(pivotBody_, body, pivotBody_->GetPosition());
    hinge.collideConnected = false;
    hinge.enableLimit = joint_.limitEnabled;
    hinge.lowerAngle = joint_.lowerAngle * ObjectPhysics::kDegreesToRadians;
    hinge.upperAngle = joint_.upperAngle * ObjectPhysics::kDegreesToRadians;
    hinge.enableMotor = joint_.motorEnabled;
    hinge.motorSpeed = joint_.motorSpeed;  // radians per second as given
    hinge.maxMotorTorque = joint_.motorMaxTorque;
    body->GetWorld()->CreateJoint(&hinge);

    movementNode_ = CCNode::node();
    movementNode_->setPosition(CGPointMake(pivotBody_->GetPosition().x * ObjectPhysics::kPointsPerMetre,
                                           pivotBody_->GetPosition().y * ObjectPhysics::kPointsPerMetre));
    movementNode_->setRotation(-(pivotBody_->GetAngle() * kRadiansToDegrees));
    movement_ = createMovementForNode(movementNode_.get(), pathData);
    if (!movement_) movementNode_.reset();
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
    rules_.update(dt);
    if (movement_ && EnemyRules::stepRhythm(this, stamina_.get(), movement_.get(), physicsSprite_.get(), dt)) {
        movement_->update(dt);
        EnemyRules::followNode(pivotBody_, movementNode_.get(), nullptr);
    }
    if (rules_.turretSprite() && !rules_.hasVisionSensor()) rules_.updateTurret(physicsSprite_.get());
}

void RoboCam::setMovement(RefPtr<MovementProtocol> movement) { movement_ = std::move(movement); }

uint32_t RoboCam::contactPlayer() { return rules_.contact(physicsSprite_.get(), HitStatistic::kGround); }

void RoboCam::visionContactPlayer() { rules_.visionContact(physicsSprite_.get()); }

}  // namespace game
