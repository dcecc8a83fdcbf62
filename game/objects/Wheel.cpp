#include "game/objects/Wheel.h"

#include <cmath>

#include "engine/render/CCSprite.h"
#include "game/core/CollisionBits.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {}  // namespace

RefPtr<Wheel> Wheel::wheelWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                   b2Body* joinToBody) {
    RefPtr<Wheel> wheel(new Wheel);
    wheel->initGameObjectWithType(type);
    if (!wheel->createWheel(position, rotation, scaleX, scaleY, joinToBody)) return nullptr;
    return wheel;
}

bool Wheel::createWheel(CGPoint position, float rotation, float scaleX, float scaleY, b2Body* joinToBody) {
    setPriority(1);
    if (!GameObjectKinds::isKind("Wheel", type())) return true;
    const Value& wheel = gameObjectData()["wheel"];
    const Value& centre = gameObjectData()["centre"];
    GameObjectPhysicsData physics;
    loadPhysicsSettingsFrom(wheel, &physics, true);
    GameObjectPhysicsMotorData motor;
    loadPhysicsMotorSettingsFrom(wheel, &motor, true);
    const int32_t segments = wheel["segment_count"].intValue();
    const std::string segmentFrame =
        (wheel["image_name"].isString() ? wheel["image_name"].stringValue() : imageName() + "_wheel") + ".png";
    const CGSize segmentSize = MachineParts::frameSize(segmentFrame);
    if (!(segmentSize.width > 0 && segmentSize.height > 0)) {
        logLine("Game objects: wheel %d refused: frame %s is missing", type(), segmentFrame.c_str());
        return false;
    }
    if (segments > kMaxSegments) {
        logLine("Game objects: wheel %d refused: %d segments, at most %d", type(), segments, kMaxSegments);
        return false;
    }
    if (!ObjectPhysics::isUsableScale(scaleX, scaleY, "wheel", type())) return false;

    physicsSprite_ = MachineParts::carrierSprite(ObjectPhysics::spriteWithFrameName(segmentFrame)->texture());
    const CGPoint segmentAnchor = CGPointFromString(wheel["segment_anchor_point"].stringValue());
    const float step = segments > 0 ? 360.0f / static_cast<float>(segments) : 0;
    for (int32_t i = 0; i < segments; ++i) {
        RefPtr<CCSprite> segment = CCSprite::spriteWithSpriteFrameName(segmentFrame);
        segment->setAnchorPoint(segmentAnchor);
        segment->setRotation(static_cast<float>(i) * step);
        physicsSprite_->addChild(segment.get());
    }
    if (centre.isDictionary()) {
        const std::string centreFrame =
            (centre["image_name"].isString() ? centre["image_name"].stringValue() : imageName() + "_centre") + ".png";
        physicsSprite_->addChild(ObjectPhysics::spriteWithFrameName(centreFrame).get());
    }

    b2Body* body = ObjectPhysics::createBody(b2_dynamicBody, position, rotation, physics);
    if (!body) return ObjectPhysics::keepsWithoutBody("wheel", type());
    body->SetSleepingAllowed(false);
    physicsSprite_->setBody(body);
    for (int32_t i = 0; i < segments; ++i) {
        const float radians = -static_cast<float>(i) * step * units::kRadiansPerDegree;
        b2Transform transform;
        transform.p.SetZero();
        transform.q.s = std::sin(radians);
        transform.q.c = std::cos(radians);
        PhysicsUtils::parseFixturesForBody(body, wheel["fixtures"], &transform, scaleX, scaleY, physics.density,
                                           physics.friction, physics.restitution, 0, CollisionCategory::kProp,
                                           collision::kSolidMask);
    }
    MachineParts::bindSensorsToHideSensor(body);
    PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem();
    if (!joinToBody && system) joinToBody = system->getGroundBody();
    MachineParts::joinRevolute(joinToBody, body, position, motor);
    ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();
    ObjectPhysics::addToForeground(physicsSprite_.get());
    return true;
}

Wheel::~Wheel() { ObjectPhysics::releaseSprite(physicsSprite_.get(), this); }

b2Body* Wheel::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

}  // namespace game
