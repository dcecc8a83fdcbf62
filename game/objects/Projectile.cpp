#include "game/objects/Projectile.h"

#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/SimpleSoundEffect.h"
#include "game/objects/EnemyRules.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/SimpleEffect.h"
#include "game/objects/SimpleEffector.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int16_t kGroup = -8;
}  // namespace

RefPtr<Projectile> Projectile::projectileWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Projectile> projectile(new Projectile);
    projectile->initGameObjectWithType(type);
    if (!projectile->createProjectile(position, rotation)) return nullptr;
    return projectile;
}

bool Projectile::createProjectile(CGPoint position, float rotation) {
    setPriority(1);
    if (!hasBody(type())) {
        logLine("Game objects: shot type %d has no body and is discarded", type());
        return false;
    }
    const Value& data = gameObjectData();
    GameObjectPhysicsData physics;
    loadPhysicsSettingsFrom(data, &physics, true);
    nectarDropletsPenalty_ = EnemyRules::readPenalty(data);
    contactEffect_ = SimpleEffect::simpleEffectWithDictionary(data["contact_effect"]);
    destructionEffect_ = SimpleEffect::simpleEffectWithDictionary(data["destruction_effect"]);
    contactEffector_ = SimpleEffector::simpleEffectorWithDictionary(data["contact_effector"]);
    contactSoundEffect_ = SimpleSoundEffect::simpleSoundEffectWithDictionary(data["contact_sound_effect"]);

    physicsSprite_ = ObjectPhysics::physicsSpriteWithFrameName(imageName() + ".png");
    b2Body* body = ObjectPhysics::createBodyWithFixtures(physicsSprite_.get(), b2_dynamicBody, position, rotation,
                                                         physics, data["fixtures"],
                                                         {kGroup, CollisionCategory::kShot, collision::kSolidMask});
    if (!body) {
        logLine("Game objects: shot type %d has no world to fly in and is discarded", type());
        return false;
    }
    physicsSprite_->physicsSystemBinding()->type = BindingType::kProjectile;
    physicsSprite_->physicsSystemBinding()->gameObject = this;
    ObjectPhysics::addToGravity(body);
    ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();
    ObjectPhysics::addToForeground(physicsSprite_.get());
    return true;
}

Projectile::~Projectile() { EnemyRules::release(this, physicsSprite_.get()); }

b2Body* Projectile::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

uint32_t Projectile::contactPlayer() {
    if (PhysicsSprite* head = EnemyRules::beeHead(); head && contactEffect_) {
        contactEffect_->showAt(head->position(), physicsSprite_->rotation());
    }
    if (b2Body* beeBody = EnemyRules::beeHeadBody(); beeBody && contactEffector_) {
        contactEffector_->applyFromBody(physicsSprite_->body(), beeBody);
    }
    if (contactSoundEffect_) contactSoundEffect_->play();
    EnemyRules::countHit(HitStatistic::kProjectile);
    // Leaving the level may free the shot: the penalty is read first.
    const uint32_t penalty = nectarDropletsPenalty_;
    destroy();
    return penalty;
}

void Projectile::destroy() {
    if (isGone()) return;
    RefPtr<Projectile> keepAlive(this);
    active_ = false;
    if (destructionEffect_) destructionEffect_->showAt(physicsSprite_->position(), physicsSprite_->rotation());
    markGone();
    if (parent()) {
        parent()->removeChild(this);
    } else if (Level* level = Level::currentLevel()) {
        level->removeProjectile(this);
    }
}

void Projectile::onDayIsOver() {
    active_ = false;
    destroy();
}

}  // namespace game
