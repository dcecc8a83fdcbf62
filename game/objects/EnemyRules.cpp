#include "game/objects/EnemyRules.h"

#include <cmath>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationFrame.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/AnimationUtils.h"
#include "game/core/AutoStopController.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObject.h"
#include "game/core/Level.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Player.h"
#include "game/core/SimpleSoundEffect.h"
#include "game/core/Stamina.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/Projectile.h"
#include "game/objects/ProjectileData.h"
#include "game/objects/SimpleEffect.h"
#include "game/objects/SimpleEffector.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr float kStepsPerSecond = 60.0f;

EnemyRules::HitCounter& installedHitCounter() {
    static EnemyRules::HitCounter counter;
    return counter;
}

// A node's anchor point in the space the sprite's position is given in: its parent's, measured
// from the parent's origin (not its anchor), or the world when it has no parent.
CGPoint inParentSpace(CCSprite* sprite, CCNode* node) {
    const CGPoint world = node->convertToWorldSpaceAR(CGPointZero);
    return sprite->parent() ? sprite->parent()->convertToNodeSpace(world) : world;
}
}  // namespace

void EnemyRules::setHitCounter(HitCounter counter) { installedHitCounter() = std::move(counter); }

void EnemyRules::countHit(HitStatistic statistic) {
    if (statistic == HitStatistic::kNone) return;
    if (installedHitCounter()) {
        installedHitCounter()(statistic);
    } else if (Player* bee = Player::currentPlayer()) {
        bee->countHit(statistic);
    }
}

PhysicsSprite* EnemyRules::beeHead() {
    Level* level = Level::currentLevel();
    Player* player = level ? level->player() : nullptr;
    return player ? player->vantrel() : nullptr;
}

b2Body* EnemyRules::beeHeadBody() {
    PhysicsSprite* head = beeHead();
    return head ? head->body() : nullptr;
}

uint32_t EnemyRules::readPenalty(const Value& data) {
    const double droplets = data["nectar_penalty"].doubleValue() * kDropletsPerNectar;
    if (!(droplets > 0)) return 0;
    if (droplets >= 4294967295.0) return UINT32_MAX;
    return static_cast<uint32_t>(droplets);
}

EnemyRules::EnemyRules() = default;
EnemyRules::~EnemyRules() = default;

void EnemyRules::readContactKeys(const Value& data) {
    contactDelayRange_ = LevelDataRange::read(data, "contact_delay", 1.0f);
    resetContactDelay();
    contactEffect_ = SimpleEffect::simpleEffectWithDictionary(data["contact_effect"]);
    contactEffector_ = SimpleEffector::simpleEffectorWithDictionary(data["contact_effector"]);
    contactSoundEffect_ = SimpleSoundEffect::simpleSoundEffectWithDictionary(data["contact_sound_effect"]);
    nectarDropletsPenalty_ = readPenalty(data);
}

void EnemyRules::readContactAnimation(const Value& data, const std::string& typeName) {
    const Value& animation = data["contact_animation"];
    if (animation.isNone()) return;
    if (animation["image_name"].stringValue().empty()) {
        logLine("Game objects: the contact animation of %s names no frames (\"image_name\"); it plays none",
                typeName.c_str());
        return;
    }
    contactAnimation_ = AnimationUtils::createSimpleAnimation(typeName + "_contact_animation", animation, "");
}

void EnemyRules::readShooterKeys(const Value& data) {
    projectile_ = ProjectileData::componentWithDictionary(data["projectile"]);
    projectileEffect_ = SimpleEffect::simpleEffectWithDictionary(data["projectile_effect"]);
}

b2Body* EnemyRules::createBody(GameObject* owner, PhysicsSprite* sprite, b2BodyType type, CGPoint position,
                               float rotation, const GameObjectPhysicsData& physics, const Value& data, Filter filter,
                               BindingType bindingType, bool withVision, float scaleX, float scaleY) {
    b2Body* body = ObjectPhysics::createBodyWithFixtures(sprite, type, position, rotation, physics, data["fixtures"],
                                                         filter, scaleX, scaleY);
    if (!body) return nullptr;
    PhysicsSystemBinding* binding = sprite->physicsSystemBinding();
    binding->type = bindingType;
    binding->gameObject = owner;
    bindSensors(body, sprite);
    if (!withVision || data["vision_fixtures"].isNone()) return body;
    hasVisionSensor_ = true;
    physicsVisionBinding_ = PhysicsSystemBinding{BindingType::kEnemyVision, owner, nullptr};
    PhysicsUtils::parseFixturesForBody(body, data["vision_fixtures"], nullptr, scaleX, scaleY, physics.density,
                                       physics.friction, physics.restitution, kVisionFilter.group, kVisionFilter.category,
                                       kVisionFilter.mask);
    for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        if (fixture->IsSensor() && !bindingOf(fixture)) setBinding(fixture, &physicsVisionBinding_);
    }
    return body;
}

void EnemyRules::bindSensors(b2Body* body, PhysicsSprite* sprite) {
    for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        if (!fixture->IsSensor() || bindingOf(fixture)) continue;
        setBinding(fixture, sprite->physicsSystemBinding());
        hasContactSensor_ = true;
    }
}

void EnemyRules::createTurret(const Value& data, CCSprite* enemySprite) {
    const std::string name = data["turret_image_name"].stringValue();
    if (data["turret_image_name"].isNone() || !enemySprite) return;
    RefPtr<CCAnimation> animation = AnimationUtils::createSimpleAnimation(name, data["turret_animation"], name);
    RefPtr<CCSprite> turret;
    if (animation && !animation->frames().empty()) {
        turret = CCSprite::spriteWithSpriteFrame(animation->frames()[0]->spriteFrame());
    }
    if (!turret) turret = ObjectPhysics::spriteWithFrameName(name + ".png");
    const CGSize size = turret ? turret->contentSize() : CGSizeZero;
    if (!(size.width > 0) || !(size.height > 0)) {
        logLine("Game objects: turret %s has a frame of no size; the enemy has no turret", name.c_str());
        return;
    }
    const CGPoint anchor = CGPointFromString(data["turret_anchor_point"].stringValue());
    turret->setAnchorPoint(CGPointMake(anchor.x / size.width, anchor.y / size.height));
    const CGPoint position = CGPointFromString(data["turret_position"].stringValue());
    const CGSize enemySize = enemySprite->contentSize();
    turret->setPosition(CGPointMake(position.x + enemySize.width / 2, position.y + enemySize.height / 2));
    if (animation) AnimationUtils::playSimpleAnimation(animation, turret.get(), true);
    enemySprite->addChild(turret.get());
    turretSprite_ = turret;
    flipTurret_ = data["turret_flip_y"].boolValue();
}

void EnemyRules::update(float dt) {
    contactDelay_ -= dt;
    if (projectile_) projectile_->update(dt);
}

void EnemyRules::updateWalk(GameObject* owner, PhysicsSprite* sprite, Stamina* stamina, MovementProtocol* movement,
                            const CCNode* node, b2Body* driven, CCSprite* scaled, float dt) {
    update(dt);
    if (movement && stepRhythm(owner, stamina, movement, sprite, dt)) {
        movement->update(dt);
        followNode(driven, node, scaled);
    }
    if (turretSprite_ && !hasVisionSensor_) updateTurret(sprite);
}

bool EnemyRules::admitContact() {
    if (!active_ || contactDelay_ > 0) return false;
    resetContactDelay();
    return true;
}

void EnemyRules::hurtBee(PhysicsSprite* enemySprite, const SimpleEffector* push) const {
    PhysicsSprite* head = beeHead();
    if (!enemySprite) return;
    if (contactEffect_ && head) contactEffect_->showAt(head->position(), enemySprite->rotation());
    if (push && head && head->body() && enemySprite->body()) {
        push->applyFromBody(enemySprite->body(), head->body());
    }
    if (contactSoundEffect_) contactSoundEffect_->play();
}

uint32_t EnemyRules::countContact(HitStatistic statistic) const {
    countHit(statistic);
    return nectarDropletsPenalty_;
}

uint32_t EnemyRules::contact(PhysicsSprite* enemySprite, HitStatistic statistic) {
    if (!admitContact()) return 0;
    hurtBee(enemySprite);
    return countContact(statistic);
}

void EnemyRules::visionContact(CCSprite* enemySprite) {
    updateTurret(enemySprite);
    if (active_ && projectile_ && projectile_->delay() <= 0) fireProjectile(enemySprite);
}

CGPoint EnemyRules::turretOrigin(CCSprite* enemySprite) const {
    return turretSprite_ ? inParentSpace(enemySprite, turretSprite_.get()) : enemySprite->position();
}

void EnemyRules::updateTurret(CCSprite* enemySprite) {
    PhysicsSprite* head = beeHead();
    if (!turretSprite_ || !enemySprite || !head) return;
    const CGPoint turret = turretOrigin(enemySprite);
    const CGPoint bee = head->position();
    const float aim = std::atan2(static_cast<float>(bee.y - turret.y), static_cast<float>(bee.x - turret.x)) *
                      -units::kDegreesPerRadian;
    float rotation = aim - enemySprite->rotation();
    if ((enemySprite->scaleX() < 0) != (enemySprite->scaleY() < 0)) rotation += 180;
    turretSprite_->setRotation(rotation);
    if (flipTurret_) turretSprite_->setScaleY(std::cos(rotation * units::kRadiansPerDegree) < 0 ? -1.0f : 1.0f);
}

void EnemyRules::fireProjectile(CCSprite* enemySprite) {
    if (!projectile_ || !enemySprite) return;
    const float turretRotation = turretSprite_ ? turretSprite_->rotation() : 0.0f;
    const CGPoint launch = projectile_->launchPoint(
        turretOrigin(enemySprite), -(enemySprite->rotation() + turretRotation) * units::kRadiansPerDegree);
    // A shot type without a body is refused (with a log line): the reload still runs, so the
    // refusal comes once per reload, not every frame.
    RefPtr<Projectile> shot =
        Projectile::projectileWithType(projectile_->type(), launch, -enemySprite->rotation(), 1.0f, 1.0f);
    if (shot) {
        if (Level* level = Level::currentLevel()) level->addProjectile(shot.get());
        if (projectileEffect_) projectileEffect_->showAt(launch, enemySprite->rotation());
        if (b2Body* bee = beeHeadBody()) {
            b2Body* body = shot->getPrimaryBody();
            projectile_->launch(body,
                                projectile_->aimDirection(body->GetPosition(), bee->GetPosition(), bee->GetLinearVelocity()));
        }
    }
    projectile_->resetDelay();
}

RefPtr<PhysicsSprite> EnemyRules::createSprite(GameObject* owner) {
    CCAnimation* animation = owner->animation();
    if (animation && !animation->frames().empty()) {
        if (RefPtr<PhysicsSprite> sprite = PhysicsSprite::spriteWithSpriteFrame(animation->frames()[0]->spriteFrame())) {
            return sprite;
        }
    }
    return ObjectPhysics::physicsSpriteWithFrameName(owner->imageName() + ".png");
}

bool EnemyRules::addToSpriteLayer(CCSprite* sprite, int layer) {
    Level* level = Level::currentLevel();
    if (!level || !sprite->texture()) return false;
    CCSpriteBatchNode* batch = level->getSpriteBatchNodeForTexture(sprite->texture(), layer);
    if (!batch) return false;
    batch->addChild(sprite);
    return true;
}

void EnemyRules::settleBody(b2Body* body, bool hasMovement) {
    if (!body) return;
    if (!hasMovement) {
        body->SetType(b2_staticBody);
        if (PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem()) system->removeSynchronisableBody(body);
    } else if (VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer(); layer && layer->autoStopController()) {
        layer->autoStopController()->addBody(body);
    }
}

void EnemyRules::leaveAutoStop(b2Body* body) {
    VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer();
    if (body && layer && layer->autoStopController()) layer->autoStopController()->removeBody(body);
}

bool EnemyRules::fireSprayShot(const ProjectileData& data, CGPoint origin, float referenceAngle, float rotation) {
    const CGPoint launch = data.launchPoint(origin, referenceAngle * units::kRadiansPerDegree);
    const b2Vec2 direction = data.sprayDirection(launch, referenceAngle);
    if (direction.x == 0 && direction.y == 0) {
        logLine("Game objects: a spray of shot type %d at the planet centre has no direction; not fired", data.type());
        return false;
    }
    RefPtr<Projectile> shot = Projectile::projectileWithType(data.type(), launch, rotation, 1.0f, 1.0f);
    if (!shot) return false;
    if (Level* level = Level::currentLevel()) level->addProjectile(shot.get());
    data.launch(shot->getPrimaryBody(), direction);
    return true;
}

bool EnemyRules::stepRhythm(GameObject* owner, Stamina* stamina, MovementProtocol* movement, CCSprite* sprite,
                            float dt) {
    if (!stamina) return true;
    if (stamina->update(dt)) {
        if (stamina->active()) {
            movement->useRandomDirection();
        } else {
            movement->stop();
        }
        if (sprite) showRhythm(owner, stamina, sprite);
    }
    return stamina->active();
}

void EnemyRules::showRhythm(GameObject* owner, const Stamina* stamina, CCSprite* sprite) {
    if (!stamina || stamina->active()) {
        owner->playSimpleAnimationWithSprite(sprite);
    } else {
        owner->stopSimpleAnimationWithSprite(sprite);
    }
}

RefPtr<MovementProtocol> EnemyRules::createMovement(GameObject* owner, CGPoint position, float rotation,
                                                    const Value& pathData, RefPtr<CCNode>* node) {
    *node = CCNode::node();
    (*node)->setPosition(position);
    (*node)->setRotation(rotation);
    RefPtr<MovementProtocol> movement = owner->createMovementForNode(node->get(), pathData);
    if (!movement) node->reset();
    return movement;
}

void EnemyRules::followNode(b2Body* body, const CCNode* node, CCSprite* sprite) {
    if (!body || !node) return;
    if (body->GetType() != b2_staticBody) {
        const b2Vec2 target(static_cast<float>(node->position().x) / units::kPointsPerMetre,
                            static_cast<float>(node->position().y) / units::kPointsPerMetre);
        const b2Vec2 velocity = kStepsPerSecond * (target - body->GetPosition());
        // Node rotations are clockwise degrees, body angles counter-clockwise radians.
        float turn = node->rotation() + body->GetAngle() * units::kDegreesPerRadian;
        turn -= 360.0f * std::floor((turn + 180.0f) / 360.0f);
        const float spin = turn * -units::kRadiansPerDegree * kStepsPerSecond;
        if (velocity.x != 0 || velocity.y != 0) body->SetAwake(true);
        body->SetLinearVelocity(velocity);
        if (spin != 0) body->SetAwake(true);
        body->SetAngularVelocity(spin);
    }
    if (sprite) {
        sprite->setScaleX(node->scaleX());
        sprite->setScaleY(node->scaleY());
    }
}

void EnemyRules::release(GameObject* owner, PhysicsSprite* sprite) {
    VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer();
    if (layer && layer->gameContactListener() && owner) layer->gameContactListener()->forgetObject(owner);
    ObjectPhysics::releaseSprite(sprite, owner);
}

}  // namespace game
