#include "game/objects/Rotator.h"

#include <cmath>

#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/CollisionBits.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int kPolygon = 2;
constexpr int kChain = 3;
constexpr float kWindBladeDegrees[] = {90, 210, 330};
constexpr float kWaterBladeDegrees[] = {0, 90, 180, 270};
}  // namespace

RefPtr<Rotator> Rotator::rotatorWithType(int32_t type, CGPoint position, float rotation, float, float,
                                         b2Body* joinToBody) {
    RefPtr<Rotator> rotator(new Rotator);
    rotator->initGameObjectWithType(type);
    rotator->createRotator(position, rotation, joinToBody);
    return rotator;
}

void Rotator::createRotator(CGPoint position, float rotation, b2Body* joinToBody) {
    setPriority(0);
    loadPhysicsSettingsFrom(gameObjectData(), &physics_, true);
    GameObjectPhysicsMotorData motor;
    loadPhysicsMotorSettingsFrom(gameObjectData(), &motor, true);
    bladeAnchor_ = CGPointFromString(gameObjectData()["blade_anchor_position"].stringValue());

    const int32_t code = type();
    bool sprites = false;
    if (code == 1004 || code == 1051) {
        sprites = createBlades(3, -90, 120);
        if (sprites && gameObjectData()["centre_image_name"].isString()) {
            RefPtr<CCSprite> hub =
                ObjectPhysics::spriteWithFrameName(gameObjectData()["centre_image_name"].stringValue() + ".png");
            hub->setPosition(bladeAnchor_);
            physicsSprite_->addChild(hub.get());
        }
    } else if (code == 1001) {
        sprites = createBlades(4, 0, 90);
    } else if (code == 1050) {
        physicsSprite_ = ObjectPhysics::physicsSpriteWithFrameName(imageName() + ".png");
        sprites = true;
    } else {
        return;
    }
    if (!sprites) return;
    // Kept by the level's batch node, the sprite and its body outlive this object; with no layer
    // to keep them the object holds them and the level keeps it instead.
    CCSpriteBatchNode* batch = MachineParts::foregroundBatchNode(physicsSprite_->texture());
    ownsSprite_ = !batch;
    if (ownsSprite_) setPriority(1);
    body_ = ObjectPhysics::createBody(b2_dynamicBody, position, rotation, physics_);
    if (!body_) return;
    physicsSprite_->setBody(body_);
    const Value& fixtures = gameObjectData()["fixtures"];
    if (code == 1004 || code == 1051) {
        addFixtures(fixtures.at(0), kPolygon, kWindBladeDegrees, 3, CollisionCategory::kWindBlade);
    } else if (code == 1001) {
        addFixtures(fixtures.at(0), kChain, kWaterBladeDegrees, 4, CollisionCategory::kScenery);
        PhysicsUtils::parseFixturesForBody(body_, gameObjectData()["fixtures_additional"], nullptr, physics_.density,
                                           physics_.friction, physics_.restitution, 0, CollisionCategory::kScenery,
                                           collision::kSolidMask);
    } else {
        PhysicsUtils::parseFixturesForBody(body_, fixtures, nullptr, physics_.density, physics_.friction,
                                           physics_.restitution, 0, CollisionCategory::kScenery, collision::kSolidMask);
    }

    PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem();
    if (!joinToBody && system) joinToBody = system->getGroundBody();
    if (joinToBody) {
        GameObjectPhysicsMotorData radians = motor;
        radians.speed = motor.speed * units::kRadiansPerDegree;
        MachineParts::joinRevolute(joinToBody, body_, position, radians);
    }
    ObjectPhysics::addToSynchronised(body_);
    physicsSprite_->synchronise();
    if (batch) batch->addChild(physicsSprite_.get());
    body_ = nullptr;
}

Rotator::~Rotator() {
    if (ownsSprite_) ObjectPhysics::releaseSprite(physicsSprite_.get(), this);
}

bool Rotator::createBlades(int count, float rotationOffset, float step) {
    const std::string frameName = imageName() + ".png";
    const CGSize size = MachineParts::frameSize(frameName);
    if (!(size.width > 0 && size.height > 0)) {
        logLine("Game objects: rotator %d refused: frame %s is missing", type(), frameName.c_str());
        return false;
    }
    const CGPoint anchor = CGPointMake(bladeAnchor_.x / size.width, bladeAnchor_.y / size.height);
    physicsSprite_ = PhysicsSprite::spriteWithSpriteFrameName(frameName);
    if (!physicsSprite_) return false;
    physicsSprite_->setAnchorPoint(anchor);
    physicsSprite_->setRotationOffset(rotationOffset);
    // Wind turbine: -120 then +120; water tower: -90, -180, -270.
    for (int i = 1; i < count; ++i) {
        RefPtr<CCSprite> blade = CCSprite::spriteWithSpriteFrameName(frameName);
        blade->setPosition(bladeAnchor_);
        blade->setAnchorPoint(anchor);
        const float turn = count == 3 ? (i == 1 ? -step : step) : -step * static_cast<float>(i);
        blade->setRotation(turn);
        physicsSprite_->addChild(blade.get());
    }
    return true;
}

void Rotator::addFixtures(const Value& fixture, int shapeType, const float* degrees, int count,
                          CollisionCategory category) {
    if (fixture["type"].intValue() != shapeType) return;
    for (int i = 0; i < count; ++i) {
        const float radians = degrees[i] * units::kRadiansPerDegree;
        b2Transform transform;
        transform.p.SetZero();
        transform.q.s = std::sin(radians);
        transform.q.c = std::cos(radians);
        b2FixtureDef definition;
        if (shapeType == kPolygon) {
            b2PolygonShape shape;
            PhysicsUtils::parsePolygonShapeFixtureForBody(body_, fixture, &definition, &shape, &transform,
                                                          physics_.density, physics_.friction, physics_.restitution, 0,
                                                          category, collision::kSolidMask);
        } else {
            b2ChainShape shape;
            PhysicsUtils::parseChainShapeFixtureForBody(body_, fixture, &definition, &shape, &transform,
                                                        physics_.density, physics_.friction, physics_.restitution, 0,
                                                        category, collision::kSolidMask);
        }
    }
}

}  // namespace game
