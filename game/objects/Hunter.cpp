#include "game/objects/Hunter.h"

#include <algorithm>
#include <cmath>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationFrame.h"
#include "engine/render/CCSprite.h"
#include "game/core/AnimationUtils.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Units.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
// Hunting heights keep this far from the ground and the sky, points.
constexpr float kHeightMargin = 40.0f;
// A height error of this many points steers at full strength towards the hunting height.
constexpr float kHeightSpan = 100.0f;
// Facing flips only past these differences from upright, degrees, so it never flickers.
constexpr float kFlipLeftAt = 100.0f;
constexpr float kFlipRightAt = 80.0f;
}  // namespace

RefPtr<Hunter> Hunter::hunterWithType(int32_t type, CGPoint position, float rotation, float, float, const Value&) {
    RefPtr<Hunter> hunter(new Hunter);
    hunter->initGameObjectWithType(type);
    hunter->createHunter(position, rotation);
    return hunter;
}

void Hunter::createHunter(CGPoint position, float rotation) {
    setPriority(2);
    const Value& data = gameObjectData();
    loadPhysicsSettingsFrom(data, &physics_, true);
    idleDelayRange_ = LevelDataRange::read(data, "idle_delay", 0.0f);
    huntDelayRange_ = LevelDataRange::read(data, "hunt_delay", 0.0f);
    idleDelay_ = idleDelayRange_.draw();
    huntingHeight_ = static_cast<float>(std::hypot(position.x, position.y));
    currentTarget_ = position;
    if (Level* level = Level::currentLevel()) {
        const float low = level->groundRadius() + kHeightMargin;
        const float high = level->skyRadius() - kHeightMargin;
        huntingHeightRange_ = LevelDataRange{low, high, high - low};
    }
    huntForce_ = data["hunt_acceleration_force"].floatValue();
    chaseForce_ = data["chase_acceleration_force"].floatValue();
    rotationTorque_ = data["rotation_torque"].floatValue();
    const float minRotationForce = data["min_rotation_force"].floatValue();
    minRotationForceSquared_ = minRotationForce * minRotationForce;
    rules_.readContactKeys(data);
    rules_.readShooterKeys(data);
    useIgnore_ = !data["ignore_threshold"].isNone() && !data["ignore_contact_amount"].isNone();
    ignoreThresholdDefault_ = data["ignore_threshold"].floatValue();
    ignoreThreshold_ = ignoreThresholdDefault_;
    ignoreContactAmount_ = data["ignore_contact_amount"].floatValue();
    if (GameObjectKinds::isKind("Hunter", type())) createHornet(position, rotation);
}

void Hunter::createHornet(CGPoint position, float rotation) {
    const Value& data = gameObjectData();
    bodyAnimation_ = AnimationUtils::createSimpleAnimation(typeName() + "_body", data["body_animation"], "");
    if (bodyAnimation_ && !bodyAnimation_->frames().empty()) {
        physicsSprite_ = PhysicsSprite::spriteWithSpriteFrame(bodyAnimation_->frames()[0]->spriteFrame());
    }
    if (!physicsSprite_) physicsSprite_ = EnemyRules::createSprite(this);
    RefPtr<CCAnimation> wings =
        AnimationUtils::createSimpleAnimation(typeName() + "_wings", data["wings_animation"], "");
    if (wings && !wings->frames().empty()) {
        wingsSprite_ = CCSprite::spriteWithSpriteFrame(wings->frames()[0]->spriteFrame());
        wingsSprite_->setPosition(CGPointFromString(data["wings_position"].stringValue()));
        AnimationUtils::playSimpleAnimation(wings, wingsSprite_.get(), true);
        physicsSprite_->addChild(wingsSprite_.get());
    }
    rules_.createTurret(data, physicsSprite_.get());
    // Its turret turns all the way round, so it always mirrors rather than hang upside down.
    rules_.setFlipTurret(true);
    // Steered by force alone: the planet's gravity controller never pulls it.
    b2Body* body = rules_.createBody(this, physicsSprite_.get(), b2_dynamicBody, position, rotation, physics_, data,
                                     EnemyRules::kFlyingFilter, BindingType::kEnemy, true);
    if (body) ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();
    EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerBackground);
}

Hunter::~Hunter() { EnemyRules::release(this, physicsSprite_.get()); }

b2Body* Hunter::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

uint32_t Hunter::sting(bool withAnimation) {
    if (!rules_.admitContact()) return 0;
    rules_.hurtBee(physicsSprite_.get());
    if (useIgnore_ && !isIgnoring_) ignoreCurrent_ += ignoreContactAmount_;
    if (withAnimation && bodyAnimation_ && physicsSprite_) {
        AnimationUtils::playSimpleAnimation(bodyAnimation_, physicsSprite_.get(), false);
    }
    return rules_.countContact(type() == 240 ? HitStatistic::kHornet : HitStatistic::kNone);
}

uint32_t Hunter::contactPlayer() { return sting(true); }

uint32_t Hunter::sensorContactPlayer() { return sting(false); }

void Hunter::visionContactPlayer() {
    if (isIgnoring_) return;
    seesPlayer_ = true;
    rules_.visionContact(physicsSprite_.get());
}

void Hunter::updateIgnoring(float dt) {
    if (!useIgnore_) return;
    if (ignoreCurrent_ > units::kEpsilon) ignoreCurrent_ = std::max(ignoreCurrent_ - dt, 0.0f);
    if (ignoreCurrent_ < units::kEpsilon) {
        ignoreThreshold_ = ignoreThresholdDefault_;
    } else if (ignoreCurrent_ >= ignoreThresholdDefault_) {
        // Once started, ignoring lasts until the level has fallen back to nothing.
        ignoreThreshold_ = 0;
    }
    isIgnoring_ = ignoreCurrent_ > ignoreThreshold_;
    if (isIgnoring_) {
        seesPlayer_ = didSeePlayer_ = false;
        state_ = State::kHunt;
    }
}

b2Vec2 Hunter::forceTowards(CGPoint point) const {
    const CGPoint at = physicsSprite_->position();
    b2Vec2 d(static_cast<float>(point.x - at.x), static_cast<float>(point.y - at.y));
    if (d.LengthSquared() <= 0.01f) return {0, 0};
    d.Normalize();
    return chaseForce_ * d;
}

b2Vec2 Hunter::huntingForce(float theta, float dt) {
    huntDelay_ -= dt;
    if (huntDelay_ <= dt) {
        huntDelay_ = huntDelayRange_.draw();
        huntingHeight_ = huntingHeightRange_.draw();
        huntRight_ = Random::unitFloat() > 0.5f;
    }
    const float s = std::sin(theta), c = std::cos(theta);
    b2Vec2 direction = huntRight_ ? b2Vec2(s, -c) : b2Vec2(-s, c);
    const CGPoint at = physicsSprite_->position();
    const float height = static_cast<float>(std::hypot(at.x, at.y));
    const float climb = -std::clamp((height - huntingHeight_) / kHeightSpan, -1.0f, 1.0f);
    direction += climb * b2Vec2(c, s);
    if (direction.LengthSquared() > units::kEpsilon) direction.Normalize();
    return huntForce_ * direction;
}

void Hunter::turn(float theta) {
    b2Body* body = getPrimaryBody();
    const float upright = theta - units::kPi / 2;
    float target = facingRight_ ? upright : upright + units::kPi;
    if (force_.LengthSquared() >= minRotationForceSquared_) target = std::atan2(force_.y, force_.x);
    body->ApplyTorque(PhysicsSystem::torqueToReachAngle(body, target, rotationTorque_), true);
}

void Hunter::updateFacing(float theta) {
    const float upright = (theta - units::kPi / 2) * units::kDegreesPerRadian;
    float difference = upright + physicsSprite_->rotation();  // the body's angle is minus the rotation
    difference -= 360.0f * std::floor((difference + 180.0f) / 360.0f);
    difference = std::fabs(difference);
    if ((facingRight_ && difference >= kFlipLeftAt) || (!facingRight_ && difference <= kFlipRightAt)) {
        facingRight_ = !facingRight_;
        physicsSprite_->setScaleY(facingRight_ ? 1.0f : -1.0f);
    }
}

void Hunter::update(float dt) {
    rules_.update(dt);
    b2Body* body = getPrimaryBody();
    if (!body) return;
    const CGPoint at = physicsSprite_->position();
    const float theta = std::atan2(static_cast<float>(at.y), static_cast<float>(at.x));
    updateIgnoring(dt);

    if (seesPlayer_) {
        state_ = State::kChase;
        if (PhysicsSprite* bee = EnemyRules::beeHead()) {
            // Where the bee will be in one second.
            const b2Vec2 velocity = bee->body() ? bee->body()->GetLinearVelocity() : b2Vec2(0, 0);
            currentTarget_ = CGPointMake(bee->position().x + velocity.x * units::kPointsPerMetre,
                                         bee->position().y + velocity.y * units::kPointsPerMetre);
        }
        force_ = forceTowards(currentTarget_);
    } else if (didSeePlayer_) {
        state_ = State::kIdle;
        idleDelay_ = idleDelayRange_.draw();
        force_ = forceTowards(currentTarget_);
    } else if (state_ == State::kHunt) {
        force_ = huntingForce(theta, dt);
    } else {
        idleDelay_ -= dt;
        if (idleDelay_ <= 0) {
            state_ = State::kHunt;
            huntDelay_ = 0;
        }
        force_ = forceTowards(currentTarget_);
    }
    body->ApplyForceToCenter(force_, true);
    turn(theta);
    updateFacing(theta);
    didSeePlayer_ = seesPlayer_;
    seesPlayer_ = false;
}

}  // namespace game
