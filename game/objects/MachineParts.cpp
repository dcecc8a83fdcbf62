#include "game/objects/MachineParts.h"

#include <cmath>

#include "engine/core/CCDirector.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/CollisionBits.h"
#include "game/core/GameSensor.h"
#include "game/core/Level.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {}  // namespace

CGSize MachineParts::frameSize(const std::string& frameName) {
    RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    if (!frame) return CGSizeMake(0, 0);
    CCDirector* director = CCDirector::sharedDirector();
    const double scale = director ? director->contentScaleFactor() : 1.0;
    const CGSize pixels = frame->originalSizeInPixels();
    return CGSizeMake(pixels.width / scale, pixels.height / scale);
}

RefPtr<PhysicsSprite> MachineParts::carrierSprite(CCTexture2D* texture) {
    RefPtr<PhysicsSprite> carrier = PhysicsSprite::node();
    if (texture) carrier->setTexture(RefPtr<CCTexture2D>(texture));
    return carrier;
}

bool MachineParts::setMassData(b2Body* body, float mass, CGPoint centrePoints, float inertia, const char* kind,
                               int32_t type) {
    if (!body) return false;
    b2MassData data;
    data.mass = mass;
    data.center.Set(static_cast<float>(centrePoints.x) / units::kPointsPerMetre,
                    static_cast<float>(centrePoints.y) / units::kPointsPerMetre);
    data.I = inertia;
    const float usedMass = mass > 0 ? mass : 1.0f;
    const bool finite = std::isfinite(mass) && std::isfinite(inertia) && isFinite(data.center);
    if (!finite || (inertia > 0 && inertia - usedMass * b2Dot(data.center, data.center) <= 0)) {
        logLine("Game objects: %s %d: mass data (mass %g, inertia %g) cannot be taken; the body keeps its own",
                kind, type, mass, inertia);
        return false;
    }
    body->SetMassData(&data);
    return true;
}

void MachineParts::bindSensorsToHideSensor(b2Body* body) {
    VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer();
    if (!body || !layer || !layer->hideSensor()) return;
    const auto binding = reinterpret_cast<uintptr_t>(layer->hideSensor()->physicsSystemBinding());
    for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        if (fixture->IsSensor()) fixture->GetUserData().pointer = binding;
    }
}

b2Body* MachineParts::createWire(PhysicsSprite* sprite, CGPoint from, CGPoint to, const Value& data,
                                 const GameObjectPhysicsData& physics, const char* kind, int32_t type) {
    const float dx = static_cast<float>(to.x - from.x);
    const float dy = static_cast<float>(to.y - from.y);
    const float halfLength = 0.5f * std::sqrt(dx * dx + dy * dy);
    const float height = static_cast<float>(sprite->contentSize().height);
    if (!(halfLength > units::kEpsilon) || !std::isfinite(halfLength) || !(height > 0)) {
        logLine("Game objects: %s %d refused: its wire is %g points long and its image %g points high", kind, type,
                2 * halfLength, height);
        return nullptr;
    }
    const float angle = std::atan2(dy, dx) * units::kDegreesPerRadian - 90.0f;
    sprite->setScaleY(2 * halfLength / height);
    const CGPoint middle = CGPointMake((from.x + to.x) * 0.5, (from.y + to.y) * 0.5);
    b2Body* body = ObjectPhysics::createBody(b2_dynamicBody, middle, angle, physics);
    if (!body) return nullptr;
    sprite->setBody(body);
    setMassData(body, data["mass"].floatValue(), CGPointFromString(data["centre_of_mass"].stringValue()),
                data["rotational_inertia"].floatValue(), kind, type);
    PhysicsUtils::parseFixturesForBody(body, data["fixtures"], nullptr, 1.0f, halfLength, physics.density,
                                       physics.friction, physics.restitution, 0, CollisionCategory::kScenery,
                                       collision::kSolidMask);
    return body;
}

CCSpriteBatchNode* MachineParts::foregroundBatchNode(CCTexture2D* texture) {
    Level* level = Level::currentLevel();
    if (!level || !texture) return nullptr;
    if (CCSpriteBatchNode* batch = level->getSpriteBatchNodeForTexture(texture, Level::kSpriteLayerForeground)) {
        return batch;
    }
    CCNode* holder = level->getSpriteLayerNode(Level::kSpriteLayerForeground);
    if (!holder) return nullptr;
    RefPtr<CCSpriteBatchNode> batch = CCSpriteBatchNode::batchNodeWithTexture(RefPtr<CCTexture2D>(texture));
    if (!batch) return nullptr;
    holder->addChild(batch.get());
    return batch.get();
}

b2RevoluteJoint* MachineParts::joinRevolute(b2Body* bodyA, b2Body* bodyB, CGPoint anchor,
                                            const GameObjectPhysicsMotorData& motor) {
    if (!bodyA || !bodyB || !worldAcceptsChanges(bodyA->GetWorld(), "CreateJoint")) return nullptr;
    b2RevoluteJointDef definition;
    definition.Initialize(bodyA, bodyB,
                          b2Vec2(static_cast<float>(anchor.x) / units::kPointsPerMetre,
                                 static_cast<float>(anchor.y) / units::kPointsPerMetre));
    definition.collideConnected = false;
    definition.enableLimit = false;
    definition.lowerAngle = 0;
    definition.upperAngle = 0;
    definition.enableMotor = motor.enabled;
    definition.motorSpeed = motor.speed;
    definition.maxMotorTorque = motor.maxTorque;
    return static_cast<b2RevoluteJoint*>(bodyA->GetWorld()->CreateJoint(&definition));
}

}  // namespace game
