#include "game/core/CollisionBits.h"
#include "game/core/Player.h"

#include <cmath>

#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PlayerGameDelegate.h"
#include "game/core/Units.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"

namespace {

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

constexpr const char* kSheetTexture = "vantrel.png";
constexpr uint64_t kPlayerHolderCapacity = 7;

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
    def.filter = filterFor(filter);
    return body->CreateFixture(&def);
}

}  // namespace

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
    const b2Vec2 origin(static_cast<float>(spawn.x / units::kPointsPerMetre),
                        static_cast<float>(spawn.y / units::kPointsPerMetre));

    headBody_ = createBody(physicsWorld_, origin, 0, kHeadLinearDamping, kHeadAngularDamping);
    beeHeadSprite_->setBody(headBody_);
    beeHeadSprite_->physicsSystemBinding()->type = BindingType::kBee;
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
        {&antennaeLeftBody_, beeAntennaeLeftSprite_.get(), {0, -kPartOffset}, units::kPi},
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
    const double turn = -r * units::kRadiansPerDegree;
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
    const b2Vec2 target(static_cast<float>(position.x / units::kPointsPerMetre),
                        static_cast<float>(position.y / units::kPointsPerMetre));
    pushTowardsWorldPosition(target, force);
}

void Player::pushTowardsWorldPosition(const b2Vec2& position, float force) {
    if (!(force > 0) || !headBody_) return;
    b2Vec2 direction = position - headBody_->GetPosition();
    if (direction.Length() >= units::kEpsilon) direction.Normalize();
    if (headBody_->GetType() == b2_dynamicBody) {
        applyForceChecked(headBody_, force * direction, headBody_->GetWorldCenter());
    }
}

void Player::setFilter(b2Fixture* fixture, FilterBits bits) {
    if (fixture) fixture->SetFilterData(filterFor(bits));
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

