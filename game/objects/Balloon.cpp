#include "game/objects/Balloon.h"

#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Units.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/Pickup.h"
#include "game/objects/VRope.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr ObjectPhysics::Filter kFilter{0, CollisionCategory::kScenery, collision::kSolidMask};
constexpr float kShortestRope = b2_linearSlop;  // metres

std::string nameOr(const Value& name, const std::string& fallback) {
    return name.isString() ? name.stringValue() : fallback;
}

CGPoint plus(CGPoint a, CGPoint b) { return CGPointMake(a.x + b.x, a.y + b.y); }

b2Vec2 metres(CGPoint points) {
    return b2Vec2(static_cast<float>(points.x) / units::kPointsPerMetre,
                  static_cast<float>(points.y) / units::kPointsPerMetre);
}
}  // namespace

RefPtr<Balloon> Balloon::balloonWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Balloon> balloon(new Balloon);
    balloon->initGameObjectWithType(type);
    if (!balloon->createBalloon(position, rotation)) return nullptr;
    return balloon;
}

bool Balloon::createBalloon(CGPoint position, float rotation) {
    const Value& data = gameObjectData();
    usesRope_ = data["rope"].isDictionary();
    setPriority(usesRope_ ? 2 : 1);
    if (!GameObjectKinds::isKind("Balloon", type())) return true;
    const Value& balloonData = data["balloon"];
    const Value& basketData = data["basket"];
    const Value& rockData = data["rock"];
    const Value& wireData = data["wire"];
    GameObjectPhysicsData balloonPhysics, basketPhysics, rockPhysics, wirePhysics;
    loadPhysicsSettingsFrom(balloonData, &balloonPhysics, true);
    loadPhysicsSettingsFrom(basketData, &basketPhysics, true);
    loadPhysicsSettingsFrom(rockData, &rockPhysics, true);
    if (!usesRope_) loadPhysicsSettingsFrom(wireData, &wirePhysics, true);

    // Placement, in points.
    const CGPoint basketLocal = CGPointFromString(basketData["position"].stringValue());
    const CGPoint basketAnchor = CGPointFromString(basketData["wire_rope_anchor_position"].stringValue());
    const CGPoint rockAnchor = CGPointFromString(rockData["wire_rope_anchor_position"].stringValue());
    const CGPoint basket = localToGlobalPosition(basketLocal, position, rotation);
    const CGPoint pivot = localToGlobalPosition(
        plus(basketLocal, CGPointFromString(basketData["balloon_anchor_position"].stringValue())), position, rotation);
    const CGPoint rock =
        localToGlobalPosition(CGPointFromString(rockData["position"].stringValue()), position, rotation);

    // Sprites.
    basket_ = ObjectPhysics::physicsSpriteWithFrameName(nameOr(basketData["image_name"], imageName() + "_basket") +
                                                        ".png");
    rock_ = ObjectPhysics::physicsSpriteWithFrameName(nameOr(rockData["image_name"], imageName() + "_rock") + ".png");
    CCSpriteBatchNode* ropeSheet = nullptr;
    if (usesRope_) {
        const std::string file = nameOr(data["rope"]["image_name"], imageName() + "_rope") + ".png";
        ropeSheet = MachineParts::foregroundBatchNode(CCTextureCache::sharedTextureCache()->addImage(file).get());
    } else {
        wire_ = ObjectPhysics::physicsSpriteWithFrameName(nameOr(wireData["image_name"], imageName() + "_wire") +
                                                          ".png");
    }
    balloon_ = MachineParts::carrierSprite(basket_->texture());
    const std::string halfFrame = nameOr(balloonData["image_name"], imageName() + "_half") + ".png";
    RefPtr<CCSprite> leftHalf = ObjectPhysics::spriteWithFrameName(halfFrame);
    leftHalf->setAnchorPoint(CGPointMake(1, 0.5));
    leftHalf->setFlipX(true);
    RefPtr<CCSprite> rightHalf = ObjectPhysics::spriteWithFrameName(halfFrame);
    rightHalf->setAnchorPoint(CGPointMake(0, 0.5));
    balloon_->addChild(leftHalf.get());
    balloon_->addChild(rightHalf.get());

    // Bodies.
    b2Body* balloonBody = ObjectPhysics::createBodyWithFixtures(balloon_.get(), b2_dynamicBody, position, rotation,
                                                                balloonPhysics, balloonData["fixtures"], kFilter);
    if (!balloonBody) return ObjectPhysics::keepsWithoutBody("balloon", type());
    b2Body* basketBody = ObjectPhysics::createBodyWithFixtures(basket_.get(), b2_dynamicBody, basket, rotation,
                                                               basketPhysics, basketData["fixtures"], kFilter);
    MachineParts::bindSensorsToHideSensor(basketBody);
    b2Body* rockBody = ObjectPhysics::createBodyWithFixtures(rock_.get(), b2_dynamicBody, rock, rotation, rockPhysics,
                                                             rockData["fixtures"], kFilter);
    b2Body* wireBody = nullptr;
    const CGPoint wireTop = localToGlobalPosition(plus(basketLocal, basketAnchor), position, rotation);
    const CGPoint wireBottom = localToGlobalPosition(rockAnchor, position, rotation);
    if (!usesRope_) {
        wireBody = MachineParts::createWire(wire_.get(), wireBottom, wireTop, wireData, wirePhysics, "balloon", type());
        if (!wireBody) return false;
    }

    // Joints.
    const GameObjectPhysicsMotorData noMotor;
    MachineParts::joinRevolute(basketBody, balloonBody, pivot, noMotor);
    if (usesRope_) {
        b2World* world = basketBody->GetWorld();
        if (worldAcceptsChanges(world, "CreateJoint")) {
            b2DistanceJointDef tie;
            tie.bodyA = basketBody;
            tie.bodyB = rockBody;
            tie.localAnchorA = metres(basketAnchor);
            tie.localAnchorB = metres(rockAnchor);
            tie.collideConnected = true;
            const float length = b2Distance(basketBody->GetWorldPoint(tie.localAnchorA),
                                            rockBody->GetWorldPoint(tie.localAnchorB));
            tie.minLength = kShortestRope;
            tie.maxLength = b2Max(length, kShortestRope);
            tie.length = tie.maxLength;
            tie.stiffness = 0;
            tie.damping = 0;
            rope_ = VRope::ropeWithJoint(world->CreateJoint(&tie), ropeSheet);
        }
    } else {
        MachineParts::joinRevolute(wireBody, basketBody, wireTop, noMotor);
        MachineParts::joinRevolute(wireBody, rockBody, wireBottom, noMotor);
    }

    ObjectPhysics::addToAntiGravity(balloonBody);
    ObjectPhysics::addToGravity(basketBody);
    ObjectPhysics::addToGravity(rockBody);
    for (PhysicsSprite* part : {balloon_.get(), basket_.get(), wire_.get(), rock_.get()}) {
        if (!part) continue;
        ObjectPhysics::addToSynchronised(part->body());
        part->synchronise();
    }
    Level* level = Level::currentLevel();
    if (!level) return true;
    if (CCSpriteBatchNode* batch =
            balloon_->texture() ? level->getSpriteBatchNodeForTexture(balloon_->texture(),
                                                                      Level::kSpriteLayerForeground)
                                : nullptr) {
        for (PhysicsSprite* part : {wire_.get(), basket_.get(), balloon_.get(), rock_.get()}) {
            if (part) batch->addChild(part);
        }
    }
    addPickups(basketData["honey_jars"], 100, basketLocal, position, rotation);
    addPickups(basketData["time_bonuses"], 105, basketLocal, position, rotation);
    return true;
}

void Balloon::addPickups(const Value& points, int32_t pickupType, CGPoint basket, CGPoint position, float rotation) {
    Level* level = Level::currentLevel();
    if (!level || !points.isArray()) return;
    for (const Value& point : points.elements()) {
        const CGPoint place = localToGlobalPosition(plus(CGPointFromString(point.stringValue()), basket), position,
                                                    rotation);
        if (RefPtr<Pickup> pickup = Pickup::pickupWithType(pickupType, place, rotation, 1, 1)) {
            level->addPickup(pickup.get());
        }
    }
}

void Balloon::update(float dt) {
    if (!rope_ || rope_->isBroken()) return;
    rope_->updateWithPreIntegratedOriginGravity(dt);
    rope_->updateSprites();
}

Balloon::~Balloon() {
    if (rope_) rope_->removeSprites();
    for (PhysicsSprite* part : {balloon_.get(), basket_.get(), wire_.get(), rock_.get()}) {
        ObjectPhysics::releaseSprite(part, this);
    }
}

b2Body* Balloon::getPrimaryBody() { return balloon_ ? balloon_->body() : nullptr; }

}  // namespace game
