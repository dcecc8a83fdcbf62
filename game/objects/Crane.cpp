#include "game/objects/Crane.h"

#include <cmath>

#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr ObjectPhysics::Filter kFilter{0, CollisionCategory::kScenery, collision::kSolidMask};

std::string imageOr(const Value& name, const std::string& fallback) {
    return (name.isString() ? name.stringValue() : fallback) + ".png";
}

CGPoint plus(CGPoint a, CGPoint b) { return CGPointMake(a.x + b.x, a.y + b.y); }
}  // namespace

RefPtr<Crane> Crane::craneWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Crane> crane(new Crane);
    crane->initGameObjectWithType(type);
    if (!crane->createCrane(position, rotation)) return nullptr;
    return crane;
}

bool Crane::createCrane(CGPoint position, float rotation) {
    setPriority(1);
    if (!GameObjectKinds::isKind("Crane", type())) return true;
    const Value& holderData = gameObjectData()["holder"];
    const Value& wireData = gameObjectData()["wire"];
    const Value& hookData = gameObjectData()["hook"];
    const Value& platformData = gameObjectData()["platform"];
    GameObjectPhysicsData holderPhysics, wirePhysics, hookPhysics, platformPhysics;
    loadPhysicsSettingsFrom(holderData, &holderPhysics, true);
    loadPhysicsSettingsFrom(wireData, &wirePhysics, true);
    loadPhysicsSettingsFrom(hookData, &hookPhysics, true);
    loadPhysicsSettingsFrom(platformData, &platformPhysics, true);
    GameObjectPhysicsPrismaticJointData slide;
    loadPhysicsPrismaticJointSettingsFrom(holderData["prismatic_joint"], &slide, true);

    const std::string holderName = imageName() + "_holder";
    const std::string platformFrame = imageOr(platformData["image_name"], holderName);
    const CGSize platformImage = MachineParts::frameSize(platformFrame);
    const CGSize size = CGSizeFromString(platformData["size"].stringValue());
    if (!(platformImage.width > 0 && platformImage.height > 0)) {
        logLine("Game objects: crane %d refused: frame %s is missing", type(), platformFrame.c_str());
        return false;
    }
    if (!(std::fabs(size.width) > units::kEpsilon && std::fabs(size.height) > units::kEpsilon)) {
        logLine("Game objects: crane %d refused: its platform has no size", type());
        return false;
    }

    // Placement, in points.
    const CGPoint hookLocal = CGPointFromString(hookData["position"].stringValue());
    const CGPoint platformLocal = CGPointFromString(platformData["position"].stringValue());
    const CGPoint pivotLocal = plus(hookLocal, CGPointFromString(platformData["platform_anchor_point"].stringValue()));
    const CGPoint hook = localToGlobalPosition(hookLocal, position, rotation);
    const CGPoint platform = localToGlobalPosition(platformLocal, position, rotation);
    const CGPoint cableTop =
        localToGlobalPosition(CGPointFromString(wireData["holder_offset"].stringValue()), position, rotation);
    const CGPoint cableBottom = localToGlobalPosition(
        plus(hookLocal, CGPointFromString(wireData["hook_offset"].stringValue())), position, rotation);
    const CGPoint pivot = localToGlobalPosition(pivotLocal, position, rotation);
    const CGPoint pivotOnPlatform = CGPointMake(pivotLocal.x - platformLocal.x, pivotLocal.y - platformLocal.y);

    // Sprites.
    holder_ = ObjectPhysics::physicsSpriteWithFrameName(imageOr(holderData["image_name"], holderName));
    wire_ = ObjectPhysics::physicsSpriteWithFrameName(imageOr(wireData["image_name"], holderName));
    hook_ = ObjectPhysics::physicsSpriteWithFrameName(imageOr(hookData["image_name"], holderName));
    platform_ = MachineParts::carrierSprite(hook_->texture());
    const std::string decorationFrame = imageOr(platformData["wire_image_name"], imageName() + "_wire");
    for (const char* key : {"wire_1_position", "wire_2_position"}) {
        const CGPoint corner = CGPointFromString(platformData[key].stringValue());
        RefPtr<CCSprite> decoration = ObjectPhysics::spriteWithFrameName(decorationFrame);
        const float dx = static_cast<float>(pivotOnPlatform.x - corner.x);
        const float dy = static_cast<float>(pivotOnPlatform.y - corner.y);
        decoration->setPosition(CGPointMake((pivotOnPlatform.x + corner.x) / 2, (pivotOnPlatform.y + corner.y) / 2));
        decoration->setRotation(-(std::atan2(dy, dx) * units::kDegreesPerRadian - 90.0f));
        const double height = decoration->contentSize().height;
        if (height > 0) decoration->setScaleY(static_cast<float>(std::hypot(dx, dy) / height));
        platform_->addChild(decoration.get());
    }
    RefPtr<CCSprite> platformImageSprite = ObjectPhysics::spriteWithFrameName(platformFrame);
    const float platformScaleX = static_cast<float>(size.width / platformImage.width);
    const float platformScaleY = static_cast<float>(size.height / platformImage.height);
    platformImageSprite->setScaleX(platformScaleX);
    platformImageSprite->setScaleY(platformScaleY);
    platform_->addChild(platformImageSprite.get());

    // Bodies.
    b2Body* holder = ObjectPhysics::createBodyWithFixtures(holder_.get(), b2_dynamicBody, position, rotation,
                                                           holderPhysics, holderData["fixtures"], kFilter);
    if (!holder) return ObjectPhysics::keepsWithoutBody("crane", type());
    b2Body* hookBody = ObjectPhysics::createBodyWithFixtures(hook_.get(), b2_dynamicBody, hook, rotation, hookPhysics,
                                                             hookData["fixtures"], kFilter);
    b2Body* platformBody =
        ObjectPhysics::createBodyWithFixtures(platform_.get(), b2_dynamicBody, platform, rotation, platformPhysics,
                                              platformData["fixtures"], kFilter, platformScaleX, platformScaleY);
    b2Body* cable = MachineParts::createWire(wire_.get(), cableTop, cableBottom, wireData, wirePhysics, "crane", type());
    if (!cable) return false;

    // Joints.
    if (PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem();
        system && system->getGroundBody() && worldAcceptsChanges(holder->GetWorld(), "CreateJoint")) {
        const float angle = holder->GetAngle();
        b2PrismaticJointDef track;
        track.Initialize(system->getGroundBody(), holder, holder->GetPosition(),
                         b2Vec2(std::cos(angle), std::sin(angle)));
        track.collideConnected = false;
        track.enableLimit = slide.limitEnabled;
        track.lowerTranslation = slide.lowerTranslation;
        track.upperTranslation = slide.upperTranslation;
        track.enableMotor = slide.motorEnabled;
        track.motorSpeed = slide.motorSpeed;
        track.maxMotorForce = slide.motorMaxForce;
        holder->GetWorld()->CreateJoint(&track);
    }
    const GameObjectPhysicsMotorData noMotor;
    MachineParts::joinRevolute(cable, holder, cableTop, noMotor);
    MachineParts::joinRevolute(cable, hookBody, cableBottom, noMotor);
    MachineParts::joinRevolute(platformBody, hookBody, pivot, noMotor);

    ObjectPhysics::addToGravity(hookBody);
    ObjectPhysics::addToGravity(platformBody);
    for (PhysicsSprite* part : {holder_.get(), wire_.get(), hook_.get(), platform_.get()}) {
        ObjectPhysics::addToSynchronised(part->body());
        part->synchronise();
    }
    Level* level = Level::currentLevel();
    CCSpriteBatchNode* batch = level && holder_->texture()
                                   ? level->getSpriteBatchNodeForTexture(holder_->texture(),
                                                                         Level::kSpriteLayerForeground)
                                   : nullptr;
    if (batch) {
        for (PhysicsSprite* part : {wire_.get(), platform_.get(), holder_.get(), hook_.get()}) batch->addChild(part);
    }
    return true;
}

Crane::~Crane() {
    for (PhysicsSprite* part : {holder_.get(), wire_.get(), hook_.get(), platform_.get()}) {
        ObjectPhysics::releaseSprite(part, this);
    }
}

b2Body* Crane::getPrimaryBody() { return holder_ ? holder_->body() : nullptr; }

}  // namespace game
