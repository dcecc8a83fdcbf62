#include "game/core/Player.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/OALSimpleAudio.h"
#include "audio/VantrelAudio.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/CCMotionStreakLocal.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObject.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PlayerGameDelegate.h"
#include "game/core/PlayerLevelDelegate.h"
#include "game/core/PlayerSwarm.h"
#include "game/core/PickupProtocol.h"
#include "game/core/ProjectileProtocol.h"
#include "game/core/Stats.h"
#include "game/objects/EnemyRules.h"
#include "game/objects/SimpleSoundEffect.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"

namespace {

Player* gCurrentPlayer = nullptr;

constexpr float kPi = 3.14159265f;
constexpr float kEpsilon = 1.1920929e-7f;

// Rig, metres.
constexpr float kHeadRadius = 0.59375f;    // 19 points
constexpr float kSensorRadius = 1.1875f;   // 38 points
constexpr float kPartRadius = 0.140625f;   // 4.5 points
constexpr float kPartOffset = 0.4375f;     // 14 points from the head
constexpr float kJointOffset = 0.3515625f; // 11.25 points from the part towards the head
constexpr float kHeadLinearDamping = 3.75f;
constexpr float kHeadAngularDamping = 0.1f;
constexpr float kBodyExtraLinearDamping = 7.5f;
constexpr float kBodyLinearDamping = 3.75f;

// Joints, radians and radians per second.
constexpr float kBodyJointLimit = 0.4712389f;      // 27 degrees
constexpr float kAntennaJointLimit = 0.9424778f;   // 54 degrees
constexpr float kBodySnapBack = 0.23561947f;       // half the body's limit
constexpr float kJointMotorMaxTorque = 10.0f;
constexpr float kJointSpringSpeed = 2.3561945f;

// Wings: phase speed at rest (and added at full steering), radians per second; opening angle,
// degrees.
constexpr float kWingFlapSpeed = 62.831856f;
constexpr float kWingFlapDegrees = 45.0f;

// Nectar.
constexpr float kDrinkDropletsPerSecond = 1000000.0f;   // 10 nectar
constexpr float kPourDropletsPerSecond = 1.5e7f;        // 150 nectar
constexpr uint64_t kStreakStepDroplets = 500000;        // 5 nectar
constexpr uint64_t kBonusDroplets = 50000000;           // 500 honey

// Facing turns past 105 degrees from upright and back below 75.
constexpr float kTurnAwayDegrees = 105.0f;
constexpr float kTurnBackDegrees = 75.0f;

constexpr const char* kSheet = "vantrel.plist";
constexpr const char* kSheetTexture = "vantrel.png";
constexpr const char* kTrail = "vantrel_trail.png";
constexpr uint64_t kPlayerHolderCapacity = 7;

constexpr float kBubbleSeconds = 2.5f;
// Bubbles beside the hive stand this far from its middle: half the 112-point hive and some air.
constexpr float kBesideHiveDistance = 66;
// The summary's smaller bubbles at the hive, and how far the new best score stands below the
// bubble before it (points, at that scale its line 1 clears a full-size two-line caption).
constexpr float kSummaryScale = 0.7f;
constexpr float kHighScoreDistance = 85;
constexpr float kAnnouncementSeconds = 6.0f;
constexpr int kBonusHoney = 500;

// Loops: gain and the seconds of their fades.
constexpr float kLoopGain = 0.2f;
constexpr float kLoopFadeInSeconds = 0.2f;
constexpr float kLoopFadeOutSeconds = 0.25f;

// Whole units of a droplet count, as the player sees them.
uint32_t wholeUnits(uint64_t droplets) {
    return static_cast<uint32_t>(static_cast<float>(droplets) * 0.00001f);
}

// Droplets of an amount in units: 0 for an amount that is negative or not a number, and at most
// what the count can hold.
uint64_t dropletsOf(float units) {
    const float droplets = units * 100000.0f;
    if (!(droplets > 0)) return 0;
    return droplets < 1.8e19f ? static_cast<uint64_t>(droplets) : UINT64_MAX;
}

CGPoint rotated(CGPoint v, double radians) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

// Anchor given in points of the sprite's content size.
void setAnchorInPoints(CCNode* sprite, double x, double y) {
    const CGSize size = sprite->contentSize();
    if (size.width > 0 && size.height > 0) sprite->setAnchorPoint({x / size.width, y / size.height});
}

b2Body* createBody(b2World* world, b2Vec2 position, float angle, float linearDamping, float angularDamping) {
    b2BodyDef def;
    def.type = b2_dynamicBody;
    def.position = position;
    def.angle = angle;
    def.linearDamping = linearDamping;
    def.angularDamping = angularDamping;
    def.allowSleep = false;
    def.awake = true;
    def.fixedRotation = false;
    def.bullet = false;
    def.enabled = true;
    def.gravityScale = 1.0f;
    return world->CreateBody(&def);
}

b2Filter toFilter(Player::FilterBits bits) {
    b2Filter filter;
    filter.categoryBits = bits.category;
    filter.maskBits = bits.mask;
    filter.groupIndex = bits.group;
    return filter;
}

b2Fixture* addCircle(b2Body* body, float radius, float density, float friction, float restitution, bool sensor,
                     Player::FilterBits filter) {
    b2CircleShape circle;
    circle.m_radius = radius;
    b2FixtureDef def;
    def.shape = &circle;
    def.density = density;
    def.friction = friction;
    def.restitution = restitution;
    def.isSensor = sensor;
    def.filter = toFilter(filter);
    return body->CreateFixture(&def);
}

// Enemies count their hits on the running game's bee.
void countHitOnCurrentPlayer(game::HitStatistic statistic) {
    Player* bee = gCurrentPlayer;
    if (!bee) return;
    using H = game::HitStatistic;
    switch (statistic) {
        case H::kCloud: bee->setStatCloudHits(bee->statCloudHits() + 1); break;
        case H::kRain: bee->setStatRainHits(bee->statRainHits() + 1); break;
        case H::kLightning: bee->setStatLightningHits(bee->statLightningHits() + 1); break;
        case H::kTornado: bee->setStatTornadoHits(bee->statTornadoHits() + 1); break;
        case H::kBird: bee->setStatBirdHits(bee->statBirdHits() + 1); break;
        case H::kGround: bee->setStatGroundHits(bee->statGroundHits() + 1); break;
        case H::kHornet: bee->setStatHornetHits(bee->statHornetHits() + 1); break;
        case H::kProjectile: bee->setStatProjectileHits(bee->statProjectileHits() + 1); break;
        case H::kNone: break;
    }
}

}  // namespace

Player* Player::currentPlayer() { return gCurrentPlayer; }

Player::Player() = default;

// While bodies may still be destroyed the world and its physics system are alive: the bee's
// bodies leave the synchronised list before its sprites destroy them.
Player::~Player() {
    if (gCurrentPlayer == this) {
        gCurrentPlayer = nullptr;
        game::EnemyRules::setHitCounter(nullptr);
    }
    endAudio();
    if (!physicsSystem_ || !PhysicsSprite::autoDestroyAllBodies()) return;
    for (b2Body* body : {headBody_, bodyBody_, antennaeRightBody_, antennaeLeftBody_}) {
        if (body) physicsSystem_->removeSynchronisableBody(body);
    }
}

bool Player::init(PlayerGameDelegate* game, PlayerLevelDelegate* level) {
    if (!game || !level || !game->physicsSystem() || !game->physicsSystem()->getWorld()) {
        logLine("Player: refused: no play scene, level or physics world");
        return false;
    }
    game_ = game;
    level_ = level;
    physicsSystem_ = game->physicsSystem();
    physicsWorld_ = physicsSystem_->getWorld();
    gameContactListener_ = game->gameContactListener();
    if (!worldAcceptsChanges(physicsWorld_, "Player::init")) return false;

    canFlyThroughWorld_ = false;
    canSenseWorld_ = true;
    droplets_ = hiveDroplets_ = 0;
    dropletsAtStartOfConsumption_ = droplets_;

    if (!loadSprites()) return false;
    const CGPoint spawn = level->spawnPosition();
    playerMotionStreak_ = CCMotionStreakLocal::streakWithFade(1.0f, 8, kTrail, 8, 8, {255, 255, 255, 255});
    if (!playerMotionStreak_) {
        logLine("Player: refused: the trail \"%s\" cannot be loaded", kTrail);
        return false;
    }
    playerMotionStreak_->setBlendFunc({GL_ONE, GL_ONE_MINUS_SRC_ALPHA});
    playerMotionStreak_->setPosition(spawn);

    createBodies(spawn);
    createJoints();

    blinking_ = false;
    blinkDelay_ = Random::unitFloat() * 3.0f + 1.5f;
    hidePerc_ = 1.0f;
    beeColour_ = {255, 255, 255};
    wingFlapAngle_ = wingFlapPerc_ = 0;

    for (PhysicsSprite* sprite : {beeHeadSprite_.get(), beeBodySprite_.get(), beeAntennaeRightSprite_.get(),
                                  beeAntennaeLeftSprite_.get()}) {
        physicsSystem_->addSynchronisableBody(sprite->body());
        sprite->synchronise();
    }
    placeWings(0);

    playerHolder_->addChild(beeWingBackSprite_.get());
    playerHolder_->addChild(beeBodySprite_.get());
    playerHolder_->addChild(beeWingFrontSprite_.get());
    playerHolder_->addChild(beeHeadSprite_.get());
    playerHolder_->addChild(beeAntennaeRightSprite_.get());
    playerHolder_->addChild(beeAntennaeLeftSprite_.get());

    swarm_ = makeRef<PlayerSwarm>();
    swarm_->initPlayerCache(currentPose());
    if (!swarm_->createBuddies()) {
        logLine("Player: refused: the bee's sheet \"%s\" has no buddy frames", kSheet);
        return false;
    }
    gCurrentPlayer = this;
    game::EnemyRules::setHitCounter(countHitOnCurrentPlayer);
    createMessages();
    initAudio();
    return true;
}

bool Player::loadSprites() {
    CCSpriteFrameCache* cache = CCSpriteFrameCache::sharedSpriteFrameCache();
    cache->addSpriteFramesWithFile(kSheet);
    RefPtr<CCSpriteFrame> frames[5];
    const char* names[5] = {"vantrel_head.png", "vantrel_head_blink.png", "vantrel_body.png", "vantrel_antennae.png",
                            "vantrel_wing.png"};
    for (int i = 0; i < 5; ++i) {
        frames[i] = cache->spriteFrameByName(names[i]);
        if (!frames[i]) {
            logLine("Player: refused: the bee's sheet \"%s\" has no frame \"%s\"", kSheet, names[i]);
            return false;
        }
    }
    playerHolder_ = CCSpriteBatchNode::batchNodeWithFile(kSheetTexture, kPlayerHolderCapacity);
    if (!playerHolder_) {
        logLine("Player: refused: the bee's sheet image \"%s\" cannot be loaded", kSheetTexture);
        return false;
    }
    beeHeadSpriteFrame_ = frames[0];
    beeHeadBlinkSpriteFrame_ = frames[1];
    beeHeadSprite_ = PhysicsSprite::spriteWithSpriteFrame(frames[0].get());
    beeBodySprite_ = PhysicsSprite::spriteWithSpriteFrame(frames[2].get());
    beeAntennaeRightSprite_ = PhysicsSprite::spriteWithSpriteFrame(frames[3].get());
    beeAntennaeLeftSprite_ = PhysicsSprite::spriteWithSpriteFrame(frames[3].get());
    beeWingFrontSprite_ = CCSprite::spriteWithSpriteFrame(frames[4].get());
    beeWingBackSprite_ = CCSprite::spriteWithSpriteFrame(frames[4].get());
    if (!beeHeadSprite_ || !beeBodySprite_ || !beeAntennaeRightSprite_ || !beeAntennaeLeftSprite_ ||
        !beeWingFrontSprite_ || !beeWingBackSprite_) {
        logLine("Player: refused: the bee's sprites cannot be made from \"%s\"", kSheet);
        return false;
    }
    setAnchorInPoints(beeBodySprite_.get(), 28, 9);
    setAnchorInPoints(beeAntennaeRightSprite_.get(), 16, -3);
    setAnchorInPoints(beeAntennaeLeftSprite_.get(), 3, -3);
    setAnchorInPoints(beeWingFrontSprite_.get(), 18, 3);
    setAnchorInPoints(beeWingBackSprite_.get(), 18, 3);
    vantrelFacingRight_ = true;
    beeAntennaeLeftSprite_->setFlipX(true);
    beeAntennaeLeftSprite_->setVisible(false);
    return true;
}

void Player::createBodies(CGPoint spawn) {
    const b2Vec2 origin(static_cast<float>(spawn.x / kPointsPerMetre), static_cast<float>(spawn.y / kPointsPerMetre));

    headBody_ = createBody(physicsWorld_, origin, 0, kHeadLinearDamping, kHeadAngularDamping);
    beeHeadSprite_->setBody(headBody_);
    beeHeadSprite_->physicsSystemBinding()->type = kBindingTypeBee;
    beeHeadFixture_ = addCircle(headBody_, kHeadRadius, 1.0f, 0.25f, 0.5f, false, kHeadNormalFilter);
    beeSensorFixture_ = addCircle(headBody_, kSensorRadius, 0, 0, 0, true, kSensorNormalFilter);
    setBinding(beeSensorFixture_, beeHeadSprite_->physicsSystemBinding());

    struct Part {
        b2Body** body;
        PhysicsSprite* sprite;
        b2Vec2 offset;
        float angle;
    };
    const Part parts[] = {
        {&bodyBody_, beeBodySprite_.get(), {-kPartOffset, 0}, 0},
        {&antennaeRightBody_, beeAntennaeRightSprite_.get(), {0, kPartOffset}, 0},
        {&antennaeLeftBody_, beeAntennaeLeftSprite_.get(), {0, -kPartOffset}, kPi},
    };
    for (const Part& part : parts) {
        *part.body = createBody(physicsWorld_, origin + part.offset, part.angle, 0, 0);
        part.sprite->setBody(*part.body);
        addCircle(*part.body, kPartRadius, 0.25f, 0, 0, false, kPartFilter);
    }
}

b2RevoluteJoint* Player::joinToHead(b2World* world, b2Body* head, b2Body* part, b2Vec2 anchor, float limit) {
    b2RevoluteJointDef def;
    def.Initialize(head, part, anchor);
    def.collideConnected = false;
    def.enableLimit = true;
    def.lowerAngle = -limit;
    def.upperAngle = limit;
    def.enableMotor = true;
    def.motorSpeed = 0;
    def.maxMotorTorque = kJointMotorMaxTorque;
    return static_cast<b2RevoluteJoint*>(world->CreateJoint(&def));
}

void Player::createJoints() {
    headBodyJoint_ = joinToHead(physicsWorld_, headBody_, bodyBody_,
                                bodyBody_->GetPosition() + b2Vec2(kJointOffset, 0), kBodyJointLimit);
    headAntennaeRightJoint_ = joinToHead(physicsWorld_, headBody_, antennaeRightBody_,
                                         antennaeRightBody_->GetPosition() + b2Vec2(0, -kJointOffset),
                                         kAntennaJointLimit);
    headAntennaeLeftJoint_ = joinToHead(physicsWorld_, headBody_, antennaeLeftBody_,
                                        antennaeLeftBody_->GetPosition() + b2Vec2(0, kJointOffset),
                                        kAntennaJointLimit);
}

// --- Rig animation -------------------------------------------------------------------------

void Player::correctJoint(b2RevoluteJoint* joint, float limit, float snapBack) {
    b2Body* head = joint->GetBodyA();
    b2Body* part = joint->GetBodyB();
    const float angle = joint->GetJointAngle();
    const float rest = head->GetAngle() + joint->GetReferenceAngle();
    if (angle < -limit) {
        setTransformChecked(part, part->GetPosition(), rest - snapBack);
        joint->SetMotorSpeed(kJointSpringSpeed);
    } else if (angle > limit) {
        setTransformChecked(part, part->GetPosition(), rest + snapBack);
        joint->SetMotorSpeed(-kJointSpringSpeed);
    } else {
        joint->SetMotorSpeed(angle / limit * -kJointSpringSpeed);
    }
}

void Player::updateBeeComponents() {
    if (!headBody_) return;
    correctJoint(headBodyJoint_, kBodyJointLimit, kBodySnapBack);
    correctJoint(headAntennaeRightJoint_, kAntennaJointLimit, kAntennaJointLimit);
    correctJoint(headAntennaeLeftJoint_, kAntennaJointLimit, kAntennaJointLimit);
}

void Player::placeWings(float flapDegrees) {
    const float r = beeBodySprite_->rotation();
    const CGPoint p = beeBodySprite_->position();
    const double side = vantrelFacingRight_ ? 1.0 : -1.0;
    const double turn = -r * kPi / 180.0;
    const CGPoint front = rotated({-4, 15 * side}, turn);
    const CGPoint back = rotated({0, 16 * side}, turn);
    beeWingFrontSprite_->setPosition({p.x + front.x, p.y + front.y});
    beeWingBackSprite_->setPosition({p.x + back.x, p.y + back.y});
    beeWingFrontSprite_->setRotation(r + flapDegrees);
    beeWingBackSprite_->setRotation(r + flapDegrees);
}

void Player::wingFlap(float dt) {
    if (!beeBodySprite_) return;
    const float steering = game_ ? game_->beeAccelerationPerc() : 0;
    wingFlapAngle_ += (steering * kWingFlapSpeed + kWingFlapSpeed) * dt;
    wingFlapPerc_ = std::cos(wingFlapAngle_) * 0.5f + 0.5f;
    placeWings(wingFlapPerc_ * (vantrelFacingRight_ ? -kWingFlapDegrees : kWingFlapDegrees));
}

void Player::blink(float dt, bool force) {
    if (!beeHeadSprite_) return;
    if (!force) {
        blinkDelay_ -= dt;
        if (blinkDelay_ > 0) return;
        if (blinking_) {
            beeHeadSprite_->setDisplayFrame(beeHeadSpriteFrame_.get());
            blinking_ = false;
            const float r1 = Random::unitFloat();
            const float r2 = Random::unitFloat();
            blinkDelay_ = r1 <= 0.15f ? r2 * 0.04f + 0.1f : r2 * 3.0f + 1.5f;
            return;
        }
    }
    beeHeadSprite_->setDisplayFrame(beeHeadBlinkSpriteFrame_.get());
    blinking_ = true;
    blinkDelay_ = Random::unitFloat() * 0.04f + 0.1f;
}

// --- Forces and switches -------------------------------------------------------------------

void Player::pushTowardsPosition(CGPoint position, float force) {
    const b2Vec2 target(static_cast<float>(position.x / kPointsPerMetre),
                        static_cast<float>(position.y / kPointsPerMetre));
    pushTowardsWorldPosition(target, force);
}

void Player::pushTowardsWorldPosition(const b2Vec2& position, float force) {
    if (!(force > 0) || !headBody_) return;
    b2Vec2 direction = position - headBody_->GetPosition();
    if (direction.Length() >= kEpsilon) direction.Normalize();
    if (headBody_->GetType() == b2_dynamicBody) {
        applyForceChecked(headBody_, force * direction, headBody_->GetWorldCenter());
    }
}

void Player::setFilter(b2Fixture* fixture, FilterBits bits) {
    if (fixture) fixture->SetFilterData(toFilter(bits));
}

void Player::setCanFlyThroughWorld(bool canFly) {
    if (canFly == canFlyThroughWorld_) return;
    canFlyThroughWorld_ = canFly;
    setFilter(beeHeadFixture_, canFly ? kHeadNoHitFilter : kHeadNormalFilter);
}

void Player::setCanSenseWorld(bool canSense) {
    if (canSense == canSenseWorld_) return;
    canSenseWorld_ = canSense;
    setFilter(beeSensorFixture_, canSense ? kSensorNormalFilter : kSensorNoHitFilter);
}

void Player::setHasExtraLinearDrag(bool extraDrag) {
    if (extraDrag == hasExtraLinearDrag_) return;
    hasExtraLinearDrag_ = extraDrag;
    if (bodyBody_) bodyBody_->SetLinearDamping(extraDrag ? kBodyExtraLinearDamping : kBodyLinearDamping);
}

// --- Accessors -----------------------------------------------------------------------------

CGPoint Player::position() const { return beeHeadSprite_ ? beeHeadSprite_->position() : CGPointZero; }

CGPoint Player::beeBodyPosition() const { return beeBodySprite_ ? beeBodySprite_->position() : CGPointZero; }

CGPoint Player::beeMouthPosition() {
    if (!beeHeadSprite_) return CGPointZero;
    const CGPoint world = beeHeadSprite_->convertToWorldSpaceAR({-19, vantrelFacingRight_ ? -10.0 : 10.0});
    CCNode* parent = beeHeadSprite_->parent();
    return parent ? parent->convertToNodeSpace(world) : world;
}

CGPoint Player::beeMouthCollectionPosition() {
    if (!beeHeadSprite_) return CGPointZero;
    const CGPoint world = beeHeadSprite_->convertToWorldSpaceAR({-19, 0});
    CCNode* parent = beeHeadSprite_->parent();
    return parent ? parent->convertToNodeSpace(world) : world;
}

float Player::nectar() const { return static_cast<float>(droplets_) * 0.00001f; }

void Player::setNectar(float nectar) { droplets_ = dropletsOf(nectar); }

float Player::hiveHoney() const { return static_cast<float>(hiveDroplets_) * 0.00001f; }

void Player::setHiveHoney(float honey) { hiveDroplets_ = dropletsOf(honey); }

void Player::awardAllFlowersVisitedBonus() {
    allFlowersVisitedBonusAwarded_ = true;
    hiveDroplets_ += kBonusDroplets;
    showAllFlowersVisitedMessage();
    if (bonusSoundEffect_) bonusSoundEffect_->play();
}

void Player::awardAllBuddiesFoundBonus() {
    allBuddiesFoundBonusAwarded_ = true;
    hiveDroplets_ += kBonusDroplets;
    showAllBuddiesFoundMessage();
    if (bonusSoundEffect_) bonusSoundEffect_->play();
}

// --- The frame -----------------------------------------------------------------------------

void Player::updatePaused(float dt) {
    blink(dt, false);
    wingFlap(dt);
}

void Player::update(float dt) {
    if (!headBody_) return;

    vantrelWorldVelocity_ = headBody_->GetLinearVelocity();
    vantrelWorldSpeed_ = vantrelWorldVelocity_.Length();
    vantrelVelocity_ = {vantrelWorldVelocity_.x * kPointsPerMetre, vantrelWorldVelocity_.y * kPointsPerMetre};
    distanceTravelled_ += vantrelWorldSpeed_ * dt;

    bool collected = false;
    drinkFromFlowers(dt, &collected);
    if (isConsumingNectar_) updateConsumptionStreak(collected);
    applyEnemySensorPenalties();

    GameSensor* hive = game_->hiveSensor();
    const bool atHive = hive && hive->isActive();
    updateHive(dt, atHive);

    updateFacing();
    blink(dt, false);
    wingFlap(dt);

    GameSensor* hide = game_->hideSensor();
    const bool hidden = hide && hide->isActive();
    updateHiding(hidden);

    bool invincible = false;
    if (!canFlyThroughWorld_) {
        invincible = hidden || atHive;
        if (invincible != wasInvincible_) {
            setFilter(beeHeadFixture_, invincible ? kHeadHiddenFilter : kHeadNormalFilter);
        }
    }

    updateBeeComponents();
    swarm_->updatePlayerCache(currentPose());
    playerMotionStreak_->setPosition(beeHeadSprite_->position());
    playerMotionStreak_->update(dt);
    updateBuddies(dt);
    updateMessages(dt);
    updateAudio();

    wasAtHive_ = atHive;
    wasTransferringNectar_ = isTransferringNectar_;
    wasConsumingNectar_ = isConsumingNectar_;
    wasInvincible_ = invincible;
    hasSolidContact_ = false;
}

void Player::drinkFromFlowers(float dt, bool* collected) {
    if (!gameContactListener_) return;
    std::vector<GameObject*>& flowers = gameContactListener_->flowersInContact();
    const b2Vec2 head = headBody_->GetPosition();
    const uint32_t request = static_cast<uint32_t>(dt * kDrinkDropletsPerSecond);
    for (size_t i = 0; i < flowers.size(); ++i) {
        GameObject* object = flowers[i];
        auto* flower = dynamic_cast<FlowerProtocol*>(object);
        if (!flower) continue;
        const uint32_t taken = flower->consumeDroplets(request);
        if (taken == 0) {
            level_->updatePlayerFlowerContact(object, false);
        } else {
            if (!isConsumingNectar_) {
                isConsumingNectar_ = true;
                dropletsAtStartOfConsumption_ = droplets_;
                consumptionDropletsMilestone_ = 0;
                showBuddyBonusMessage();
            }
            // The buddies' share is formed in single precision; the carried sum stays exact.
            droplets_ += static_cast<uint64_t>((1.0f + buddyBonus()) * static_cast<float>(taken));
            level_->updatePlayerFlowerContact(object, flower->droplets() != 0);
            *collected = true;
        }
        const float attraction = flower->playerAttraction();
        flower->pushTowardsWorldPosition(head, attraction);
        if (PhysicsSprite* sprite = flower->physicsSprite()) pushTowardsPosition(sprite->position(), attraction);
    }
}

void Player::updateConsumptionStreak(bool collected) {
    if (!wasConsumingNectar_) playSuckSound();
    const int64_t steps = droplets_ >= dropletsAtStartOfConsumption_
                              ? static_cast<int64_t>((droplets_ - dropletsAtStartOfConsumption_) / kStreakStepDroplets)
                              : 0;
    if (steps > consumptionDropletsMilestone_) {
        consumptionDropletsMilestone_ = steps;
        if (buddiesShowing() >= 2) showBuddyBonusMessage();
        showBuddyEncouragementMessage();
    }
    if (collected) {
        if (droplets_ != 0) showAtFront(messagesInfo_.get(), nectarMessage_.get(), kBubbleSeconds);
        if (consumptionDropletsMilestone_ > 0) {
            nectarMilestoneMessage_->setValue(static_cast<int>(consumptionDropletsMilestone_ * 5));
            showAtFront(messagesBonus_.get(), nectarMilestoneMessage_.get(), kBubbleSeconds);
        }
    } else {
        isConsumingNectar_ = false;
        stopSuckSound();
    }
    if (!allFlowersVisitedBonusAwarded_ && level_->flowersVisited() >= level_->totalFlowers()) {
        awardAllFlowersVisitedBonus();
    }
}

void Player::applyEnemySensorPenalties() {
    if (!gameContactListener_) return;
    std::vector<EnemyProtocol*>& sensors = gameContactListener_->contactSensors();
    if (sensors.empty()) return;
    // Summed as a wrapping 32-bit integer; a sum of 0 or less takes nothing (read as unsigned it
    // would take all the nectar).
    uint32_t wrapped = 0;
    for (size_t i = 0; i < sensors.size(); ++i) wrapped += sensors[i]->sensorContactPlayer();
    const auto sum = static_cast<int32_t>(wrapped);
    if (sum <= 0) return;
    loseNectar(static_cast<uint64_t>(sum));
    blink(0, true);
}

void Player::loseNectar(uint64_t penalty) {
    const uint64_t lost = std::min(droplets_, penalty);
    droplets_ -= lost;
    const uint32_t units = wholeUnits(lost);
    if (units > 0) {
        level_->emitParticles(PlayerLevelDelegate::kParticlesLoseNectar, position());
        showAtFront(messagesInfo_.get(), nectarMessage_.get(), kBubbleSeconds);
        GameMessage* penalty = nextNectarPenaltyMessage();
        penalty->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(penalty, kBubbleSeconds, -static_cast<int>(units));
        showBuddyWarningMessage();
    }
}

void Player::updateHive(float dt, bool atHive) {
    if (atHive) {
        if (!wasAtHive_) level_->beginPlayerHiveContact(droplets_ != 0);
        if (droplets_ != 0) {
            if (!isTransferringNectar_) {
                isTransferringNectar_ = true;
                transferredNectar_ = true;
                dropletsAtStartOfTransfer_ = hiveDroplets_;
                dropletsTransferred_ = 0;
                transferDropletsBonus_ = 0;
                transferBonus_ = 0;
                transferBonusMultiplier_ = 1.0f - level_->currentTimeOfDayPerc();
                playDrainSound();
                showBuddyEncouragementMessage();
            }
            const uint64_t amount =
                std::min(static_cast<uint64_t>(dt * kPourDropletsPerSecond), droplets_);
            droplets_ -= amount;
            dropletsTransferred_ += amount;
            transferDropletsBonus_ =
                static_cast<uint64_t>(static_cast<float>(dropletsTransferred_) * transferBonusMultiplier_);
            transferBonus_ = wholeUnits(transferDropletsBonus_);
            hiveDroplets_ = dropletsAtStartOfTransfer_ + dropletsTransferred_ + transferDropletsBonus_;
            if (droplets_ != 0) {
                level_->updatePlayerHiveContact(true);
                if (nectarMessage_->owner() == hiveMessagesInfo_.get()) {
                    nectarMessage_->showForTime(kBubbleSeconds);
                } else {
                    moveNectarMessageToHive();
                }
            }
        }
        if (droplets_ == 0) {
            if (isTransferringNectar_) {
                isTransferringNectar_ = false;
                level_->updatePlayerHiveContact(false);
                stopDrainSound();
            }
            if (nectarMessage_->owner() && nectarMessage_->owner() != hiveMessagesInfo_.get()) moveNectarMessageToHive();
        }
        showAtFront(hiveMessagesInfo_.get(), hiveHoneyMessage_.get(), kBubbleSeconds);
        if (showStatsMessages_) {
            showSummaryMessages();
            if (!finalNectarTransferComplete_ && droplets_ == 0) {
                finalNectarTransferComplete_ = true;
                game_->onGameSummaryComplete();
            }
        } else if (transferBonus_ != 0) {
            hiveHoneyBonusMessage_->setValue(static_cast<int>(transferBonus_));
            showAtFront(hiveMessagesBonus_.get(), hiveHoneyBonusMessage_.get(), kBubbleSeconds);
        }
    } else if (wasAtHive_) {
        level_->endPlayerHiveContact();
        if (wasTransferringNectar_) {
            isTransferringNectar_ = false;
            stopDrainSound();
        }
        if (transferredNectar_) {
            transferredNectar_ = false;
            transferBonus_ = 0;
            transferDropletsBonus_ = 0;
            transferBonusMultiplier_ = 0;
            showBuddyEncouragementMessage();
        }
        nectarMessage_->setLocation(8);
        nectarMessage_->setDistance(50);
        if (nectarMessage_->owner() && nectarMessage_->owner() != messagesInfo_.get()) {
            messagesInfo_->addMessageToFrontOfQueue(nectarMessage_.get(), kBubbleSeconds);
        }
    }
}

void Player::updateFacing() {
    const float r = beeHeadSprite_->rotation();
    const CGPoint p = beeHeadSprite_->position();
    const float a = std::atan2(static_cast<float>(p.y), static_cast<float>(p.x)) * 57.29578f - 90.0f;
    const float d = std::fabs(a - std::floor((a + 180.0f + r) / 360.0f) * 360.0f + r);
    if (vantrelFacingRight_ && d >= kTurnAwayDegrees) {
        setFacingRight(false);
    } else if (!vantrelFacingRight_ && d <= kTurnBackDegrees) {
        setFacingRight(true);
    }
}

void Player::setFacingRight(bool facingRight) {
    vantrelFacingRight_ = facingRight;
    const float side = facingRight ? 1.0f : -1.0f;
    beeHeadSprite_->setFlipY(!facingRight);
    beeBodySprite_->setScaleY(side);
    beeAntennaeRightSprite_->setVisible(facingRight);
    beeAntennaeLeftSprite_->setVisible(!facingRight);
    beeWingFrontSprite_->setScaleY(side);
    beeWingBackSprite_->setScaleY(side);
}

void Player::updateHiding(bool hidden) {
    const float before = hidePerc_;
    if (hidden && hidePerc_ > 0) {
        hidePerc_ -= 0.1f;
        if (hidePerc_ <= 0.001f) hidePerc_ = 0;
    } else if (!hidden && hidePerc_ < 1.0f) {
        hidePerc_ = std::min(hidePerc_ + 0.1f, 1.0f);
    }
    if (hidePerc_ == before) return;
    const auto c = static_cast<uint8_t>(hidePerc_ * 191.0f + 64.0f);
    beeColour_ = {c, c, c};
    for (CCSprite* sprite : {static_cast<CCSprite*>(beeHeadSprite_.get()), static_cast<CCSprite*>(beeBodySprite_.get()),
                             static_cast<CCSprite*>(beeAntennaeRightSprite_.get()),
                             static_cast<CCSprite*>(beeAntennaeLeftSprite_.get()), beeWingFrontSprite_.get(),
                             beeWingBackSprite_.get()}) {
        sprite->setColor(beeColour_);
    }
}

// --- Swarm ---------------------------------------------------------------------------------

PlayerCacheData Player::currentPose() const {
    return {beeHeadSprite_->position(), beeHeadSprite_->rotation(), beeHeadSprite_->color(), beeHeadSprite_->flipY()};
}

int Player::buddiesShowing() const { return swarm_ ? swarm_->buddiesShowing() : 0; }

float Player::buddyBonus() const { return swarm_ ? swarm_->buddyBonus() : 0; }

CCSpriteBatchNode* Player::buddyHolder() const { return swarm_ ? swarm_->buddyHolder() : nullptr; }

bool Player::buddiesUnderneath() const { return swarm_ && swarm_->buddiesUnderneath(); }

void Player::setBuddiesUnderneath(bool underneath) {
    if (swarm_) swarm_->setBuddiesUnderneath(underneath);
}

void Player::updateBuddies(float dt) {
    swarm_->updateBuddies(dt, vantrelWorldSpeed_, beeHeadSprite_->rotation(), vantrelFacingRight_,
                          game_->cameraTangentAngle());
}

void Player::showBuddyBonusMessage() { swarm_->showBuddyBonusMessage(); }

void Player::showBuddyEncouragementMessage() { swarm_->showBuddyEncouragementMessage(); }

void Player::showBuddyWarningMessage() { swarm_->showBuddyWarningMessage(); }

// --- Bubbles -------------------------------------------------------------------------------

namespace {

RefPtr<GameMessage> bubble(int type, int info, int mode, int location, float distance, float scale = 1) {
    RefPtr<GameMessage> message = GameMessage::gameMessageWithType(type, info, mode, location, distance);
    if (scale != 1) message->setMessageScale(scale);
    return message;
}

template <typename Target>
RefPtr<GameMessages> queueFollowing(Target* target) {
    auto queue = makeRef<GameMessages>();
    queue->initWithTargetObject(target);
    return queue;
}

}  // namespace

void Player::createMessages() {
    using M = GameMessage;
    messagesInfo_ = queueFollowing(beeHeadSprite_.get());
    messagesBonus_ = queueFollowing(beeHeadSprite_.get());
    nectarMessage_ = bubble(1, M::kInfoNectar, M::kModeWhite, 8, 50);
    nectarMilestoneMessage_ = bubble(2, M::kInfoSuckingStreak, M::kModeYellow, 2, 50);
    timeInfoMessage_ = bubble(2, M::kInfoSecondsLeft, M::kModeYellow, 2, 50);
    allFlowersVisitedMessage_ = bubble(2, M::kInfoAllFlowersFound, M::kModeLavender, 2, 50);
    allBuddiesFoundMessage_ = bubble(2, M::kInfoAllBuddiesFound, M::kModeLavender, 2, 50);
    for (auto& m : nectarBonusMessages_.messages) m = bubble(2, M::kInfoNectarBonus, M::kModeGreen, 2, 50);
    for (auto& m : nectarPenaltyMessages_.messages) m = bubble(2, M::kInfoNectarLost, M::kModeRed, 2, 50);
    for (auto& m : honeyBonusMessages_.messages) m = bubble(2, M::kInfoHoneyBonus, M::kModeGreen, 2, 50);
    for (auto& m : timeBonusMessages_.messages) m = bubble(2, M::kInfoTimeBonus, M::kModeGreen, 2, 50);
    for (auto& m : timePenaltyMessages_.messages) m = bubble(2, M::kInfoTimeLost, M::kModeRed, 2, 50);

    const GameMessagePositionProtocol* hive = level_->hiveMessageTarget();
    hiveMessagesInfo_ = queueFollowing(hive);
    hiveMessagesBonus_ = queueFollowing(hive);
    hiveHoneyMessage_ = bubble(1, M::kInfoHiveHoney, M::kModeWhite, 7, kBesideHiveDistance);
    hiveHoneyBonusMessage_ = bubble(1, M::kInfoHiveHoneyBonus, M::kModeGreen, 3, kBesideHiveDistance);
    const bool hasFlowers = level_->totalFlowers() > 0;
    if (hasFlowers) {
        hiveFlowersVisitedMessage_ =
            bubble(1, M::kInfoFlowersVisited, M::kModeWhite, 3, kBesideHiveDistance, kSummaryScale);
    }
    hiveBuddiesFoundMessage_ = hasFlowers ? bubble(1, M::kInfoBuddiesFound, M::kModeWhite, 5, 70, kSummaryScale)
                                          : bubble(1, M::kInfoBuddiesFound, M::kModeWhite, 3, 600.0f / 7, kSummaryScale);
    if (!hasFlowers) hiveDistanceTravelledMessage_ = bubble(1, M::kInfoDistanceTravelled, M::kModeWhite, 5, 70, kSummaryScale);
    // Below the bubble before it in the hive's queue, clear of that one's two-line caption.
    hiveHighScoreMessage_ = bubble(1, M::kInfoNewHighScore, M::kModeWhite, 5, kHighScoreDistance, kSummaryScale);
}

void Player::showAtFront(GameMessages* queue, GameMessage* message, float seconds) {
    if (!queue || !message) return;  // a bee that was never set up shows nothing
    if (message->owner()) {
        message->showForTime(seconds);
    } else {
        queue->addMessageToFrontOfQueue(message, seconds);
    }
}

void Player::showAtEnd(GameMessages* queue, GameMessage* message, float seconds) {
    if (!queue || !message) return;
    if (message->owner()) {
        message->showForTime(seconds);
    } else {
        queue->addMessageToEndOfQueue(message, seconds);
    }
}

void Player::moveNectarMessageToHive() {
    nectarMessage_->setLocation(7);
    nectarMessage_->setDistance(90);
    hiveMessagesInfo_->addMessageToEndOfQueue(nectarMessage_.get(), kBubbleSeconds);
}

void Player::showSummaryMessages() {
    hideTimeInfoMessage();
    if (hiveHoneyBonusMessage_->owner() == hiveMessagesBonus_.get()) {
        hiveMessagesBonus_->removeMessage(hiveHoneyBonusMessage_.get());
    }
    static constexpr const char* kCheers[] = {"SWEET!", "COOL!", "GREAT!", "CHOICE!", "NICE!", "ACE!"};
    if (static_cast<int64_t>(wholeUnits(hiveDroplets_)) > level_->existingHighScore()) {
        if (!hiveHighScoreMessage_->owner()) hiveHighScoreMessage_->setValueText(kCheers[Random::arc4random() % 6]);
        showAtEnd(hiveMessagesInfo_.get(), hiveHighScoreMessage_.get(), kBubbleSeconds);
        // Queued behind a full-size bubble it would take that one's size, and reach out of the
        // window on the hive's left.
        hiveHighScoreMessage_->setMessageScale(kSummaryScale);
    }
    char text[32];
    if (hiveFlowersVisitedMessage_) {
        if (!hiveFlowersVisitedMessage_->owner()) {
            snprintf(text, sizeof text, "%u/%u", level_->flowersVisited(), level_->totalFlowers());
            hiveFlowersVisitedMessage_->setValueText(text);
        }
        showAtEnd(hiveMessagesBonus_.get(), hiveFlowersVisitedMessage_.get(), kBubbleSeconds);
    }
    if (!hiveBuddiesFoundMessage_->owner()) {
        snprintf(text, sizeof text, "%i/%i", buddiesShowing(), level_->totalBuddies());
        hiveBuddiesFoundMessage_->setValueText(text);
    }
    showAtEnd(hiveMessagesBonus_.get(), hiveBuddiesFoundMessage_.get(), kBubbleSeconds);
    if (hiveDistanceTravelledMessage_) {
        showAtEnd(hiveMessagesBonus_.get(), hiveDistanceTravelledMessage_.get(), kBubbleSeconds);
    }
}

void Player::updateMessages(float dt) {
    const float rotation = -game_->cameraTangentAngle();
    for (GameMessages* queue : {messagesInfo_.get(), messagesBonus_.get(), hiveMessagesInfo_.get(),
                                hiveMessagesBonus_.get()}) {
        queue->update(dt, rotation);
    }
}

template <size_t N>
GameMessage* Player::nextPooledMessage(MessagePool<N>& pool) {
    GameMessage* message = pool.messages[pool.next].get();
    pool.next = (pool.next + 1) % N;
    if (GameMessages* owner = message->owner()) {
        owner->removeMessage(message);
        message->reset();
    }
    return message;
}

GameMessage* Player::nextNectarBonusMessage() { return nextPooledMessage(nectarBonusMessages_); }
GameMessage* Player::nextNectarPenaltyMessage() { return nextPooledMessage(nectarPenaltyMessages_); }
GameMessage* Player::nextHoneyBonusMessage() { return nextPooledMessage(honeyBonusMessages_); }
GameMessage* Player::nextTimeBonusMessage() { return nextPooledMessage(timeBonusMessages_); }
GameMessage* Player::nextTimePenaltyMessage() { return nextPooledMessage(timePenaltyMessages_); }

void Player::showTimeInfoMessage(float seconds) {
    showAtFront(messagesBonus_.get(), timeInfoMessage_.get(), seconds);
    if (timeSoundEffect_) timeSoundEffect_->play();
}

void Player::showTimeUpInfoMessage() {
    if (!timeInfoMessage_) return;
    timeInfoMessage_->setAutoUpdateValue(false);
    timeInfoMessage_->setValueText("TIME'S UP!");
    timeInfoMessage_->setText("RETURNING\nTO HIVE");
    showAtFront(messagesBonus_.get(), timeInfoMessage_.get(), kAnnouncementSeconds);
}

void Player::hideTimeInfoMessage() {
    if (timeInfoMessage_ && timeInfoMessage_->owner() == messagesBonus_.get()) messagesBonus_->removeMessage(timeInfoMessage_.get());
}

void Player::showAllFlowersVisitedMessage() {
    if (!allFlowersVisitedMessage_) return;
    allFlowersVisitedMessage_->setValue(kBonusHoney);
    showAtFront(messagesBonus_.get(), allFlowersVisitedMessage_.get(), kAnnouncementSeconds);
}

void Player::showAllBuddiesFoundMessage() {
    if (!allBuddiesFoundMessage_) return;
    allBuddiesFoundMessage_->setValue(kBonusHoney);
    showAtFront(messagesBonus_.get(), allBuddiesFoundMessage_.get(), kAnnouncementSeconds);
}

// --- Contacts ------------------------------------------------------------------------------

void Player::handlePickupContacts() {
    if (!gameContactListener_) return;
    const std::vector<PickupProtocol*>& pickups = gameContactListener_->pickups();
    // Nectar is credited with the buddy bonus as it stood before each pickup's own buddies joined
    // (formed in single precision). Summed wide, so that no run of large payloads overflows.
    int64_t nectar = 0, honey = 0, seconds = 0;
    int found = 0;
    for (size_t i = 0; i < pickups.size(); ++i) {
        PickupProtocol* pickup = pickups[i];
        // Everything is read before consume, which may let the pickup go (the listener holds it
        // until the dispatch ends, but it is not asked anything afterwards).
        const int32_t pickupNectar = pickup->nectarDroplets();
        const int32_t pickupHoney = pickup->honeyDroplets();
        const int32_t pickupTime = pickup->timeDifference();
        const int32_t pickupBuddies = pickup->buddies();
        PhysicsSprite* sprite = pickup->physicsSprite();
        const CGPoint where = sprite ? sprite->position() : position();
        const float rotation = sprite ? sprite->rotation() : 0;

        if (pickupNectar > 0) ++statNectarBonuses_;
        if (pickupHoney > 0) ++statHoneyBonuses_;
        if (pickupTime > 0) ++statTimeBonuses_;
        const float bonus = buddyBonus();
        for (int32_t b = 0; b < pickupBuddies; ++b) {
            if (buddiesShowing() >= PlayerSwarm::kMaxBuddies) break;
            ++found;
            swarm_->addBuddyAt(where, rotation);
        }
        if (pickupBuddies > 0) statBuddiesFound_ += pickupBuddies;
        nectar += static_cast<int64_t>((1.0f + bonus) * static_cast<float>(pickupNectar));
        honey += pickupHoney;
        seconds += pickupTime;
        level_->emitParticles(PlayerLevelDelegate::kParticlesBonus, where);
        pickup->consume();
    }

    if (nectar > 0) {
        droplets_ += static_cast<uint64_t>(nectar);
        showAtFront(messagesInfo_.get(), nectarMessage_.get(), kBubbleSeconds);
        GameMessage* message = nextNectarBonusMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds,
                                                 static_cast<int>(wholeUnits(static_cast<uint64_t>(nectar))));
        if (buddiesShowing() >= 2) showBuddyBonusMessage();
        showBuddyEncouragementMessage();
    } else if (nectar < 0) {
        loseNectar(static_cast<uint64_t>(-nectar));
    }
    if (honey > 0) {
        hiveDroplets_ += static_cast<uint64_t>(honey);
        showAtFront(hiveMessagesInfo_.get(), hiveHoneyMessage_.get(), kBubbleSeconds);
        GameMessage* message = nextHoneyBonusMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds,
                                                 static_cast<int>(wholeUnits(static_cast<uint64_t>(honey))));
        showBuddyEncouragementMessage();
    }
    const int shownSeconds = static_cast<int>(std::clamp<int64_t>(seconds, INT32_MIN, INT32_MAX));
    if (seconds > 0) {
        level_->changeLengthOfDay(static_cast<float>(seconds));
        GameMessage* message = nextTimeBonusMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds, shownSeconds);
        showBuddyEncouragementMessage();
    } else if (seconds < 0) {
        level_->changeLengthOfDay(static_cast<float>(seconds));
        GameMessage* message = nextTimePenaltyMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds, shownSeconds);
        showBuddyWarningMessage();
    }
    if (found > 0 && !allBuddiesFoundBonusAwarded_ && buddiesShowing() >= level_->totalBuddies()) {
        awardAllBuddiesFoundBonus();
    }
}

namespace {

// Penalties summed as a wrapping 32-bit count and read signed: a sum of 0 or less takes nothing
// (read as unsigned it would take all the nectar). contactPlayer may let the object go, so each is
// asked once and not touched again.
template <class Enemy>
int32_t sumPenalties(const std::vector<Enemy*>& enemies) {
    uint32_t wrapped = 0;
    for (size_t i = 0; i < enemies.size(); ++i) wrapped += enemies[i]->contactPlayer();
    return static_cast<int32_t>(wrapped);
}

}  // namespace

void Player::handleEnemyContacts() {
    if (!gameContactListener_) return;
    const int32_t penalty = sumPenalties(gameContactListener_->enemies());
    if (penalty > 0) loseNectar(static_cast<uint64_t>(penalty));
    blink(0, true);
}

void Player::handleProjectileContacts() {
    if (!gameContactListener_) return;
    const int32_t penalty = sumPenalties(gameContactListener_->projectilesHittingPlayer());
    if (penalty > 0) loseNectar(static_cast<uint64_t>(penalty));
    blink(0, true);
}

// --- Statistics ----------------------------------------------------------------------------

void Player::onGameStart() {
    Stats* stats = Stats::sharedInstance();
    stats->incrementStatUInt("games_started", 1);
    stats->saveStats();
}

void Player::onGameFinish() {
    Stats* stats = Stats::sharedInstance();
    stats->incrementStatUInt("games_finished", 1);
    stats->saveStats();
}

void Player::updateStats() {
    Stats* stats = Stats::sharedInstance();
    stats->incrementStatUInt("honey", static_cast<uint32_t>(hiveHoney()));
    stats->incrementStatUInt("distance_travelled", static_cast<uint32_t>(distanceTravelled_));
    const std::pair<const char*, int32_t> counters[] = {
        {"hives_visited", statHivesVisited_},     {"flowers_visited", statFlowersVisited_},
        {"buddies_found", statBuddiesFound_},     {"lightning_hits", statLightningHits_},
        {"tornado_hits", statTornadoHits_},       {"cloud_hits", statCloudHits_},
        {"rain_hits", statRainHits_},             {"bird_hits", statBirdHits_},
        {"ground_hits", statGroundHits_},         {"hornet_hits", statHornetHits_},
        {"projectile_hits", statProjectileHits_}, {"nectar_bonuses", statNectarBonuses_},
        {"honey_bonuses", statHoneyBonuses_},     {"time_bonuses", statTimeBonuses_},
    };
    for (const auto& [key, count] : counters) stats->incrementStatUInt(key, static_cast<uint32_t>(count));
    stats->saveStats();
}

// --- Sounds --------------------------------------------------------------------------------

namespace {

// Null, with one log line, for a sound that is missing (the facade logs one it cannot decode):
// the bee then plays, fades and stops nothing of it.
RefPtr<ALBuffer> loadSound(OALSimpleAudio* audio, const char* name, bool mono) {
    if (!audio) return nullptr;
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        logLine("Player: no sound \"%s\"; the bee plays it silently", name);
        return nullptr;
    }
    return audio->preloadEffect(path, mono);
}

}  // namespace

void Player::initAudio() {
    VantrelAudio* front = VantrelAudio::sharedInstance();
    playerLoopChannel1_ = front->playerLoopChannel1();
    playerLoopChannel2_ = front->playerLoopChannel2();
    playerEventChannel1_ = front->playerEventChannel1();
    OALSimpleAudio* audio = front->simpleAudio();
    windLoopAudioBuffer_ = loadSound(audio, "bee_wind_loop.wav", false);
    buzzLoopAudioBuffer_ = loadSound(audio, "bee_buzz_loop_plain.wav", true);
    buzzHit1AudioBuffer_ = loadSound(audio, "bee_buzz_hit_1.wav", true);
    suckLoopAudioBuffer_ = loadSound(audio, "bee_suck_loop_1.wav", false);
    drainLoopAudioBuffer_ = loadSound(audio, "bee_drain_loop_2.wav", false);
    bonusSoundEffect_ = game::SimpleSoundEffect::simpleSoundEffect("sparkle_big", 0.75f, 0.75f, 1, 1, -0.2f, 0.2f);
    timeSoundEffect_ = game::SimpleSoundEffect::simpleSoundEffect("clock_tick", 0.75f, 0.75f, 1, 1, -0.2f, 0.2f);
}

void Player::startAudio() {
    if ((windSoundSource_ && windSoundSource_->playing()) || (buzzSoundSource_ && buzzSoundSource_->playing())) {
        endAudio();
    }
    if (!playerLoopChannel1_) return;
    if (windLoopAudioBuffer_) windSoundSource_ = playerLoopChannel1_->play(windLoopAudioBuffer_, 0, 0.5f, 0, true);
    if (buzzLoopAudioBuffer_) buzzSoundSource_ = playerLoopChannel1_->play(buzzLoopAudioBuffer_, 0.6f, 0.5f, 0, true);
}

void Player::endAudio() {
    for (RefPtr<ALSource>* source : {&windSoundSource_, &buzzSoundSource_, &suckSoundSource_, &drainSoundSource_}) {
        if (!*source) continue;
        (*source)->stopActions();
        (*source)->clear();
        source->reset();
    }
}

void Player::updateAudio() {
    const float speed = std::min(vantrelWorldSpeed_ / 26.5f, 1.0f);
    if (windSoundSource_) {
        windSoundSource_->setGain(speed * 0.25f);
        windSoundSource_->setPitch(speed * 0.7f + 0.5f);
    }
    const float steering = game_->beeAccelerationPerc();
    const float buzzGain = steering * 0.4f + 0.6f;
    const float buzzPitch = steering * 0.75f + 0.5f;
    if (buzzSoundSource_) {
        buzzSoundSource_->setGain(buzzGain);
        buzzSoundSource_->setPitch(buzzPitch);
    }
    if (hasSolidContact_ && playerEventChannel1_ && buzzHit1AudioBuffer_) {
        playerEventChannel1_->play(buzzHit1AudioBuffer_, buzzGain, buzzPitch + Random::unitFloat() * 0.05f, 0, false);
    }
}

void Player::playLoop(RefPtr<ALSource> Player::*loop, RefPtr<ALSource> Player::*other, ALBuffer* buffer) {
    fadeOutLoop(other);
    RefPtr<ALSource>& source = this->*loop;
    if (source) {
        source->fadeTo(kLoopGain, kLoopFadeInSeconds, nullptr);
    } else if (playerLoopChannel2_ && buffer) {
        source = playerLoopChannel2_->play(RefPtr<ALBuffer>(buffer), kLoopGain, Random::unitFloat() * 0.2f + 0.9f, 0,
                                           true);
    }
}

// The faded source is stopped and let go at the end of the fade, unless it was taken up again
// meanwhile (a new play replaced it). The bee's release stops the fade (endAudio), so the
// completion never finds it gone.
void Player::fadeOutLoop(RefPtr<ALSource> Player::*loop) {
    RefPtr<ALSource>& source = this->*loop;
    if (!source) return;
    source->fadeTo(0, kLoopFadeOutSeconds, [this, loop](ALSource* faded) {
        faded->stop();
        if ((this->*loop).get() == faded) (this->*loop).reset();
    });
}

void Player::playSuckSound() { playLoop(&Player::suckSoundSource_, &Player::drainSoundSource_, suckLoopAudioBuffer_.get()); }
void Player::stopSuckSound() { fadeOutLoop(&Player::suckSoundSource_); }
void Player::playDrainSound() { playLoop(&Player::drainSoundSource_, &Player::suckSoundSource_, drainLoopAudioBuffer_.get()); }
void Player::stopDrainSound() { fadeOutLoop(&Player::drainSoundSource_); }
