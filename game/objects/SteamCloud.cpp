#include "game/objects/SteamCloud.h"

#include <cmath>

#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Units.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/ProjectileData.h"
#include "game/objects/SimpleEffect.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
// The bee's head is about this many points across: its edge counts, not its centre.
constexpr float kBeeReach = 19.0f;
}  // namespace

RefPtr<SteamCloud> SteamCloud::steamCloudWithType(int32_t type, CGPoint position, float rotation, float, float,
                                                  const Value&) {
    RefPtr<SteamCloud> puff(new SteamCloud);
    puff->initGameObjectWithType(type);
    if (!puff->createSteamCloud(position, rotation)) return nullptr;
    return puff;
}

bool SteamCloud::createSteamCloud(CGPoint position, float rotation) {
    setPriority(2);
    const double distance = std::hypot(position.x, position.y);
    if (!(distance >= units::kEpsilon) || !std::isfinite(distance)) {
        logLine("Game objects: steam cloud %d placed at the planet centre has no way to drift; refused", type());
        return false;
    }
    const Value& data = gameObjectData();
    loadPhysicsSettingsFrom(data, &physics_, true);
    createSimpleAnimation();
    rules_.readContactKeys(data);
    destructionEffect_ = SimpleEffect::simpleEffectWithDictionary(data["destruction_effect"]);
    burst_ = ProjectileData::componentWithDictionary(data["projectile"]);
    lifetime_ = LevelDataRange::drawFrom(data, "lifetime", 1.0f);
    startScale_ = LevelDataRange::drawFrom(data, "start_scale", 1.0f);
    endScale_ = LevelDataRange::drawFrom(data, "end_scale", 1.0f);
    scale_ = startScale_;
    const double speed = LevelDataRange::drawFrom(data, "movement_speed", 100.0f);
    velocity_ = CGPointMake(position.x / distance * speed, position.y / distance * speed);
    if (const Value& spread = data["start_rotation_offset"]; !spread.isNone()) {
        const float v = std::fabs(spread.floatValue());
        rotation += v - 2 * v * Random::unitFloat();
    }
    angularVelocity_ = LevelDataRange::drawFrom(data, "movement_rotation", 0.0f);
    contactRadius_ = data["contact_radius"].floatValue();
    if (GameObjectKinds::isKind("SteamCloud", type())) createSteamCloudGeneric(position, rotation);
    return true;
}

void SteamCloud::createSteamCloudGeneric(CGPoint position, float rotation) {
    physicsSprite_ = EnemyRules::createSprite(this);
    playSimpleAnimationWithSprite(physicsSprite_.get());
    physicsSprite_->setScale(startScale_);
    // Moved by the puff itself: no damping, no controllers, not synchronised.
    GameObjectPhysicsData physics = physics_;
    physics.linearDamping = physics.angularDamping = 0;
    const float fixtureScale = std::max(startScale_, endScale_);
    rules_.createBody(this, physicsSprite_.get(), b2_kinematicBody, position, rotation, physics, gameObjectData(),
                      type() == 216 ? EnemyRules::kGroundFilter : EnemyRules::kFlyingFilter, BindingType::kEnemy, false,
                      fixtureScale, fixtureScale);
    physicsSprite_->synchronise();
    if (!EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerBackground)) {
        EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerForeground);
    }
}

SteamCloud::~SteamCloud() { EnemyRules::release(this, physicsSprite_.get()); }

b2Body* SteamCloud::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

uint32_t SteamCloud::sensorContactPlayer() {
    if (!rules_.active() || rules_.contactDelay() > 0) return 0;
    if (contactRadius_ > 0) {
        PhysicsSprite* head = EnemyRules::beeHead();
        if (!head || !physicsSprite_) return 0;
        const double dx = head->position().x - physicsSprite_->position().x;
        const double dy = head->position().y - physicsSprite_->position().y;
        const float reach = scale_ * contactRadius_ + kBeeReach;
        if (static_cast<float>(dx * dx + dy * dy) > reach * reach) return 0;
    }
    return rules_.contact(physicsSprite_.get(), HitStatistic::kCloud);
}

void SteamCloud::update(float dt) {
    age_ += dt;
    if (age_ >= lifetime_) {
        destroy();
        return;
    }
    rules_.update(dt);
    if (!physicsSprite_) return;
    scale_ = startScale_ + age_ / lifetime_ * (endScale_ - startScale_);
    physicsSprite_->setScale(scale_);
    const CGPoint at = physicsSprite_->position();
    physicsSprite_->setPosition(CGPointMake(at.x + velocity_.x * dt, at.y + velocity_.y * dt));
    physicsSprite_->setRotation(physicsSprite_->rotation() - angularVelocity_ * dt);
    physicsSprite_->synchroniseBody();
}

void SteamCloud::destroy() {
    if (isGone()) return;
    // Leaving the owner's list may release the last reference to the puff.
    RefPtr<SteamCloud> keepAlive(this);
    markGone();
    if (destructionEffect_ && physicsSprite_) {
        destructionEffect_->showAt(physicsSprite_->position(), physicsSprite_->rotation());
    }
    if (burst_ && rules_.active()) fireProjectiles();
    rules_.setActive(false);
    if (parent()) {
        parent()->removeChild(this);
    } else if (Level* level = Level::currentLevel()) {
        level->removeEnemy(this);
    }
}

void SteamCloud::fireProjectiles() {
    if (!physicsSprite_) return;
    const int32_t count = burst_->randomCount();
    const float rotation = physicsSprite_->rotation();
    for (int32_t i = 0; i < count; ++i) {
        EnemyRules::fireSprayShot(*burst_, physicsSprite_->position(), -(rotation + 90), -rotation);
    }
}

}  // namespace game
