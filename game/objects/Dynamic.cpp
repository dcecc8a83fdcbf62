#include "game/objects/Dynamic.h"

#include "game/core/CollisionBits.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int16_t kGroup = 7;

bool isScaledType(int32_t type) { return type >= 500 && type <= 514; }
bool isBuiltType(int32_t type) { return isScaledType(type) || (type >= 550 && type <= 556); }
}  // namespace

RefPtr<Dynamic> Dynamic::dynamicWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY) {
    RefPtr<Dynamic> dynamic(new Dynamic);
    dynamic->initGameObjectWithType(type);
    if (!dynamic->createDynamic(position, rotation, scaleX, scaleY)) return nullptr;
    return dynamic;
}

bool Dynamic::createDynamic(CGPoint position, float rotation, float scaleX, float scaleY) {
    setPriority(1);
    if (!isBuiltType(type())) return true;
    if (isScaledType(type()) && !ObjectPhysics::isUsableScale(scaleX, scaleY, "dynamic", type())) return false;
    if (!isScaledType(type())) scaleX = scaleY = 1;
    GameObjectPhysicsData physics;
    loadPhysicsSettingsFrom(gameObjectData(), &physics, true);

    physicsSprite_ = ObjectPhysics::physicsSpriteWithFrameName(imageName() + ".png");
    physicsSprite_->setScaleX(scaleX);
    physicsSprite_->setScaleY(scaleY);
    b2Body* body = ObjectPhysics::createBodyWithFixtures(
        physicsSprite_.get(), b2_dynamicBody, position, rotation, physics, gameObjectData()["fixtures"],
        {kGroup, CollisionCategory::kProp, collision::kPropMask}, scaleX, scaleY);
    if (!body) return ObjectPhysics::keepsWithoutBody("dynamic", type());
    ObjectPhysics::addToGravity(body);
    ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();
    ObjectPhysics::addToForeground(physicsSprite_.get());
    return true;
}

Dynamic::~Dynamic() { ObjectPhysics::releaseSprite(physicsSprite_.get(), this); }

b2Body* Dynamic::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

}  // namespace game
