#include "game/objects/ObjectPhysics.h"

#include <cmath>

#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/AntiGravityController.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObject.h"
#include "game/core/GravityController.h"
#include "game/core/Level.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/Log.h"

namespace game {

b2Body* ObjectPhysics::createBody(b2BodyType type, CGPoint position, float rotation,
                                  const GameObjectPhysicsData& physics) {
    b2World* world = VantrelGameLayer::currentPhysicsWorld();
    if (!worldAcceptsChanges(world, "CreateBody")) return nullptr;
    b2BodyDef definition;
    definition.type = type;
    definition.position.Set(static_cast<float>(position.x) / units::kPointsPerMetre,
                            static_cast<float>(position.y) / units::kPointsPerMetre);
    definition.angle = rotation * units::kRadiansPerDegree;
    definition.linearDamping = physics.linearDamping;
    definition.angularDamping = physics.angularDamping;
    definition.gravityScale = physics.gravityScale;
    definition.allowSleep = true;
    definition.awake = true;
    definition.fixedRotation = false;
    definition.bullet = false;
    definition.enabled = true;
    if (!isFinite(definition.position) || !std::isfinite(definition.angle) ||
        !std::isfinite(definition.gravityScale)) {
        logLine("Game objects: a body at a placement that is not finite is refused");
        return nullptr;
    }
    return world->CreateBody(&definition);
}

b2Body* ObjectPhysics::createBodyWithFixtures(PhysicsSprite* sprite, b2BodyType type, CGPoint position, float rotation,
                                              const GameObjectPhysicsData& physics, const Value& fixtures,
                                              Filter filter, float scaleX, float scaleY) {
    b2Body* body = createBody(type, position, rotation, physics);
    if (!body) return nullptr;
    sprite->setBody(body);
    PhysicsUtils::parseFixturesForBody(body, fixtures, nullptr, scaleX, scaleY, physics.density, physics.friction,
                                       physics.restitution, filter.group, filter.category, filter.mask);
    return body;
}

bool ObjectPhysics::isUsableScale(float scaleX, float scaleY, const char* kind, int32_t type) {
    if (std::isfinite(scaleX) && std::isfinite(scaleY) && std::fabs(scaleX) > units::kEpsilon &&
        std::fabs(scaleY) > units::kEpsilon) {
        return true;
    }
    logLine("Game objects: %s %d refused: its scale (%g, %g) cannot shape a body", kind, type, scaleX, scaleY);
    return false;
}

bool ObjectPhysics::keepsWithoutBody(const char* kind, int32_t type) {
    if (!VantrelGameLayer::currentPhysicsWorld()) return true;
    logLine("Game objects: %s %d refused: its body was refused", kind, type);
    return false;
}

RefPtr<PhysicsSprite> ObjectPhysics::physicsSpriteWithFrameName(const std::string& frameName) {
    if (CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName)) {
        if (RefPtr<PhysicsSprite> sprite = PhysicsSprite::spriteWithSpriteFrameName(frameName)) return sprite;
    }
    logLine("Game objects: frame %s is missing; its object is not drawn", frameName.c_str());
    return PhysicsSprite::node();
}

RefPtr<CCSprite> ObjectPhysics::spriteWithFrameName(const std::string& frameName) {
    if (CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName)) {
        if (RefPtr<CCSprite> sprite = CCSprite::spriteWithSpriteFrameName(frameName)) return sprite;
    }
    logLine("Game objects: frame %s is missing; its object is not drawn", frameName.c_str());
    RefPtr<CCSprite> empty = makeRef<CCSprite>();
    empty->init();
    return empty;
}

bool ObjectPhysics::showFrame(CCSprite* sprite, const std::string& frameName) {
    RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    if (!frame) {
        logLine("Game objects: frame %s is missing", frameName.c_str());
        return false;
    }
    sprite->setDisplayFrame(frame.get());
    return true;
}

bool ObjectPhysics::addToForeground(CCSprite* sprite) {
    Level* level = Level::currentLevel();
    if (!level || !sprite->texture()) return false;
    CCSpriteBatchNode* batch = level->getSpriteBatchNodeForTexture(sprite->texture(), Level::kSpriteLayerForeground);
    if (!batch) return false;
    batch->addChild(sprite);
    return true;
}

void ObjectPhysics::addToGravity(b2Body* body) {
    VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer();
    if (body && layer && layer->gravityController()) layer->gravityController()->addBody(body);
}

void ObjectPhysics::addToAntiGravity(b2Body* body) {
    VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer();
    if (body && layer && layer->antiGravityController()) layer->antiGravityController()->addBody(body);
}

void ObjectPhysics::addToSynchronised(b2Body* body) {
    if (PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem(); body && system) {
        system->addSynchronisableBody(body);
    }
}

void ObjectPhysics::releaseSprite(PhysicsSprite* sprite, GameObject* owner) {
    if (!sprite) return;
    VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer();
    if (layer && layer->gameContactListener() && owner) layer->gameContactListener()->forgetObject(owner);
    // Once bodies are no longer destroyed automatically the world is about to go, bodies and all.
    if (b2Body* body = sprite->body(); body && PhysicsSprite::autoDestroyAllBodies()) {
        if (layer && layer->gravityController()) layer->gravityController()->removeBody(body);
        if (layer && layer->antiGravityController()) layer->antiGravityController()->removeBody(body);
        PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem();
        if (system && system->getWorld() == body->GetWorld()) system->removeSynchronisableBody(body);
        if (worldAcceptsChanges(body->GetWorld(), "DestroyBody")) {
            sprite->destroyBody();
        } else {
            sprite->setBody(nullptr);
        }
    }
    sprite->removeFromParentAndCleanup(true);
}

}  // namespace game
