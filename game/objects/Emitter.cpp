#include "game/objects/Emitter.h"

#include <algorithm>
#include <cmath>

#include "game/core/Level.h"
#include "game/core/Units.h"
#include "game/objects/EnemyRules.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ProjectileData.h"
#include "game/objects/SteamCloud.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int32_t kShotBurst = 304;
constexpr int32_t kReservedChildren = 64;  // steam clouds the children array starts with room for
}  // namespace

RefPtr<Emitter> Emitter::emitterWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Emitter> emitter(new Emitter);
    emitter->initGameObjectWithType(type);
    emitter->createEmitter(position, rotation);
    return emitter;
}

void Emitter::createEmitter(CGPoint position, float rotation) {
    setPriority(2);
    position_ = position;
    rotation_ = rotation;
    const Value& data = gameObjectData();
    emitType_ = static_cast<int32_t>(data["emit_type"].integerValue());
    maxObjects_ = static_cast<int32_t>(data["max_objects"].integerValue());
    // "delay" fixes it; "delay_min" needs "delay_max".
    delayRange_ = LevelDataRange::read(data, "delay", 1.0f);
    resetDelay();
    offsetX_ = data["offset_distance_x"].floatValue();
    offsetY_ = data["offset_distance_y"].floatValue();
    offsetRelativeToGravity_ = data["offset_relative_to_gravity"].boolValue();
    projectile_ = ProjectileData::componentWithDictionary(data["projectile"]);
    // Room for the usual few; the array grows beyond (a cap of 2^31 - 1 must not reserve 16 GB).
    if (maxObjects_ > kReservedChildren) {
        logLine("Game objects: emitter %d caps its steam clouds at %d; room is made for %d at first", type(),
                maxObjects_, kReservedChildren);
    }
    children_.reserve(static_cast<size_t>(std::clamp(maxObjects_, 1, kReservedChildren)));
}

Emitter::~Emitter() = default;

void Emitter::update(float dt) {
    children_.forEachReversed([dt](GameObject* child) { child->update(dt); });
    if (!active_) return;
    delay_ -= dt;
    if (delay_ <= 0 && emit()) resetDelay();
}

bool Emitter::emit() {
    if (maxObjects_ > 0 && children_.count() >= static_cast<size_t>(maxObjects_)) return false;
    if (GameObjectKinds::isKind("SteamCloud", emitType_)) return emitSteamCloud();
    if (emitType_ == kShotBurst) return fireProjectiles();
    return false;
}

CGPoint Emitter::spawnPoint() const {
    const double x = Random::unitFloat() * offsetX_;
    const double y = Random::unitFloat() * offsetY_;
    const double angle = offsetRelativeToGravity_ ? std::atan2(position_.y, position_.x) - units::kPi / 2
                                                  : 4 * units::kPi * Random::unitFloat();
    const double c = std::cos(angle), s = std::sin(angle);
    return CGPointMake(position_.x + x * c - y * s, position_.y + x * s + y * c);
}

bool Emitter::emitSteamCloud() {
    RefPtr<SteamCloud> puff = SteamCloud::steamCloudWithType(emitType_, spawnPoint(), rotation_, 1, 1, Value());
    // A puff refused where it would spawn waits a full delay before the next try, so the refusal
    // is logged once per delay.
    if (!puff) return true;
    puff->setParent(this);
    children_.append(puff);
    return true;
}

bool Emitter::fireProjectiles() {
    if (!projectile_) return false;
    const int32_t count = projectile_->randomCount();
    if (count < 1) return false;
    for (int32_t i = 0; i < count; ++i) {
        EnemyRules::fireSprayShot(*projectile_, spawnPoint(), rotation_ + 90, rotation_);
    }
    return true;
}

void Emitter::onDayIsOver() {
    active_ = false;
    children_.forEach([](GameObject* child) { child->onDayIsOver(); });
}

void Emitter::destroy() {
    if (isGone()) return;
    RefPtr<Emitter> keepAlive(this);
    markGone();
    active_ = false;
    if (parent()) {
        parent()->removeChild(this);
    } else if (Level* level = Level::currentLevel()) {
        level->removeGameObject(this);
    }
}

}  // namespace game
