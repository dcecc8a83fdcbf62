#include "game/objects/Cloud.h"

#include <cmath>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationFrame.h"
#include "engine/render/CCSprite.h"
#include "game/core/AnimationUtils.h"
#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Units.h"
#include "game/objects/SimpleEffect.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr EnemyRules::Filter kHidingFilter{-3, CollisionCategory::kSensorArea, CollisionCategory::kBeeHead};
}  // namespace

RefPtr<Cloud> Cloud::cloudWithType(int32_t type, CGPoint position, float rotation, float, float,
                                   const Value& pathData) {
    RefPtr<Cloud> cloud(new Cloud);
    cloud->initGameObjectWithType(type);
    cloud->createCloud(position, rotation, pathData);
    return cloud;
}

HitStatistic Cloud::hitStatisticForType(int32_t type) {
    if (type >= 200 && type <= 202) return HitStatistic::kCloud;
    if (type >= 203 && type <= 205) return HitStatistic::kRain;
    if (type >= 206 && type <= 208) return HitStatistic::kLightning;
    if (type >= 210 && type <= 212) return HitStatistic::kTornado;
    return HitStatistic::kNone;
}

float Cloud::lightningRotation(CGPoint cloud, CGPoint bee) {
    const double dx = bee.x - cloud.x, dy = bee.y - cloud.y;
    const float angle = dx * dx + dy * dy > units::kEpsilon ? std::atan2(static_cast<float>(dy), static_cast<float>(dx))
                                                            : std::atan2(-1.0f, 0.0f);
    return -(angle * units::kDegreesPerRadian + 90.0f);
}

void Cloud::createCloud(CGPoint position, float rotation, const Value& pathData) {
    setPriority(2);
    const Value& data = gameObjectData();
    loadPhysicsSettingsFrom(data, &physics_, true);
    createSimpleAnimation();
    rules_.readContactKeys(data);
    rules_.readContactAnimation(data, typeName());
    const int32_t kind = type();
    if ((kind >= 200 && kind <= 202) || (kind >= 210 && kind <= 215) || kind == 217 || kind == 250 || kind == 251) {
        createCloudGeneric(position, rotation, pathData);
    } else if (kind >= 203 && kind <= 205) {
        createRainCloud(position, rotation, pathData);
    } else if (kind >= 206 && kind <= 208) {
        createLightningCloud(position, rotation, pathData);
    }
}

void Cloud::createCloudGeneric(CGPoint position, float rotation, const Value& pathData) {
    if (!physicsSprite_) {
        physicsSprite_ = EnemyRules::createSprite(this);
        playSimpleAnimationWithSprite(physicsSprite_.get());
    }
    // Moved by code: no damping, no controllers; the sprite leads and the body follows.
    GameObjectPhysicsData physics = physics_;
    physics.linearDamping = physics.angularDamping = 0;
    rules_.createBody(this, physicsSprite_.get(), b2_kinematicBody, position, rotation, physics, gameObjectData(),
                      isHidingCloud() ? kHidingFilter : EnemyRules::kFlyingFilter,
                      isHidingCloud() ? BindingType::kHideSensor : BindingType::kEnemy, false);
    physicsSprite_->synchronise();
    movement_ = createMovementForNode(physicsSprite_.get(), pathData);
    if (movement_) physicsSprite_->synchroniseBody();
    EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerBackground);
}

void Cloud::createRainCloud(CGPoint position, float rotation, const Value& pathData) {
    const Value& data = gameObjectData();
    physicsSprite_ = EnemyRules::createSprite(this);
    playSimpleAnimationWithSprite(physicsSprite_.get());
    const std::string rainName = data["rain_image_name"].stringValue();
    RefPtr<CCAnimation> rain = AnimationUtils::createSimpleAnimation(rainName, data["rain_animation"], rainName);
    if (rain && !rain->frames().empty()) {
        rainSprite_ = CCSprite::spriteWithSpriteFrame(rain->frames()[0]->spriteFrame());
    }
    if (rainSprite_) {
        const CGPoint offset = CGPointFromString(data["rain_position"].stringValue());
        const CGSize size = physicsSprite_->contentSize();
        rainSprite_->setPosition(CGPointMake(offset.x + size.width / 2, offset.y + size.height / 2));
        AnimationUtils::playSimpleAnimation(rain, rainSprite_.get(), true);
        physicsSprite_->addChild(rainSprite_.get());
    } else {
        logLine("Game objects: cloud %d has no rain frames (\"rain_image_name\" %s); it rains nothing", type(),
                rainName.c_str());
    }
    createCloudGeneric(position, rotation, pathData);
}

void Cloud::createLightningCloud(CGPoint position, float rotation, const Value& pathData) {
    lightningEffect_ = SimpleEffect::simpleEffectWithDictionary(gameObjectData()["lightning_effect"]);
    createCloudGeneric(position, rotation, pathData);
}

Cloud::~Cloud() { EnemyRules::release(this, physicsSprite_.get()); }

b2Body* Cloud::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

void Cloud::setMovement(RefPtr<MovementProtocol> movement) { movement_ = std::move(movement); }

uint32_t Cloud::sensorContactPlayer() {
    if (!rules_.admitContact()) return 0;
    rules_.hurtBee(physicsSprite_.get());
    if (PhysicsSprite* head = EnemyRules::beeHead(); lightningEffect_ && head && physicsSprite_) {
        lightningEffect_->showAt(physicsSprite_->position(),
                                 lightningRotation(physicsSprite_->position(), head->position()),
                                 CGPointMake(0.5, 1.0));
    }
    playContactAnimation();
    return rules_.countContact(hitStatisticForType(type()));
}

void Cloud::playContactAnimation() {
    if (!rules_.contactAnimation() || !animation() || !physicsSprite_) return;
    AnimationUtils::playSimpleAnimationSequence(RefPtr<CCAnimation>(rules_.contactAnimation()),
                                                RefPtr<CCAnimation>(animation()), physicsSprite_.get(), true);
}

void Cloud::update(float dt) {
    rules_.update(dt);
    if (!movement_ || !physicsSprite_) return;
    movement_->update(dt);
    physicsSprite_->synchroniseBody();
}

}  // namespace game
