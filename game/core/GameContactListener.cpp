#include "game/core/GameContactListener.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "game/core/CollisionBits.h"
#include "game/core/DestructableProtocol.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/GameContactDelegate.h"
#include "game/core/GameObject.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsSystemBinding.h"
#include "game/core/PickupProtocol.h"
#include "game/core/ProjectileProtocol.h"

namespace {

constexpr uint16 kBeeSensingBits = categoryBits(CollisionCategory::kBeeSensing);
constexpr uint16 kShotBits = categoryBits(CollisionCategory::kShot);

constexpr size_t kListCapacity = 64;

template <typename T>
T* objectAs(const PhysicsSystemBinding* binding) {
    return binding ? dynamic_cast<T*>(binding->gameObject) : nullptr;
}

BindingType typeOf(const PhysicsSystemBinding* binding) { return binding ? binding->type : BindingType::kNone; }

template <typename T>
GameObject* gameObjectOf(T* object) {
    if constexpr (std::is_same_v<T, GameObject>) {
        return object;
    } else {
        return dynamic_cast<GameObject*>(object);
    }
}

template <typename T>
bool isGone(T* object) {
    const GameObject* gameObject = gameObjectOf(object);
    return gameObject && gameObject->isGone();
}

template <typename T>
void removeAll(std::vector<T*>& list, T* object) {
    std::erase(list, object);
}

// Sorted by identity with repeats removed: each object once, in no meaningful order.
template <typename T>
void deduplicate(std::vector<T*>& list) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

template <typename T>
void dropGone(std::vector<T*>& list) {
    std::erase_if(list, [](T* object) { return isGone(object); });
}

// Copies the list into the snapshot, which a dispatch walks while the callbacks may change the
// list itself (destroying a body ends its contacts at once).
template <typename T>
const std::vector<T*>& snapshot(const std::vector<T*>& list, std::vector<T*>& into) {
    into.assign(list.begin(), list.end());
    return into;
}

}  // namespace

GameContactListener::GameContactListener(GameContactDelegate* gameLayer) : gameLayer_(gameLayer) {
    for (auto* list : {&flowersInContact_, &flowersBegun_, &flowersEnded_, &flowerSnapshot_}) {
        list->reserve(kListCapacity);
    }
    pickups_.reserve(kListCapacity);
    damaged_.reserve(kListCapacity);
    damagedSnapshot_.reserve(kListCapacity);
    for (auto* list : {&enemies_, &contactSensors_, &visionSensors_}) list->reserve(kListCapacity);
    for (auto* list : {&projectilesHittingPlayer_, &projectilesHittingObjects_, &projectileSnapshot_}) {
        list->reserve(kListCapacity);
    }
    held_.reserve(4 * kListCapacity);
}

GameContactListener::~GameContactListener() = default;

void GameContactListener::BeginContact(b2Contact* contact) {
    b2Fixture* a = contact->GetFixtureA();
    b2Fixture* b = contact->GetFixtureB();
    b2Fixture* player = a->GetFilterData().groupIndex == collision::kBeeGroup   ? a
                        : b->GetFilterData().groupIndex == collision::kBeeGroup ? b
                                                                                : nullptr;
    if (!player) {
        // A shot hitting something solid other than the bee.
        for (auto [shot, target] : {std::pair{a, b}, std::pair{b, a}}) {
            if (shot->GetFilterData().categoryBits != kShotBits || target->IsSensor()) continue;
            auto* projectile = objectAs<ProjectileProtocol>(bindingOf(shot->GetBody()));
            if (projectile && projectile->canHit()) projectilesHittingObjects_.push_back(projectile);
        }
        return;
    }
    b2Fixture* other = player == a ? b : a;
    const PhysicsSystemBinding* bodyBinding = bindingOf(other->GetBody());
    if (player->GetFilterData().categoryBits == kBeeSensingBits) {
        if (typeOf(bodyBinding) != BindingType::kFlower) return;
        GameObject* flower = objectAs<GameObject>(bodyBinding);
        if (!flower) return;
        flowersBegun_.push_back(flower);
        removeAll(flowersEnded_, flower);
        flowersInContact_.push_back(flower);
        return;
    }
    const PhysicsSystemBinding* fixtureBinding = bindingOf(other);
    if (!other->IsSensor() || !fixtureBinding) {
        if (gameLayer_) gameLayer_->setPlayerHasSolidContact(true);
        switch (typeOf(bodyBinding)) {
            case BindingType::kPickup:
                if (auto* pickup = objectAs<PickupProtocol>(bodyBinding); pickup && pickup->canBeConsumed()) {
                    pickups_.push_back(pickup);
                }
                break;
            case BindingType::kProjectile:
                if (auto* projectile = objectAs<ProjectileProtocol>(bodyBinding); projectile && projectile->canHit()) {
                    projectilesHittingPlayer_.push_back(projectile);
                }
                break;
            case BindingType::kEnemy:
                if (auto* enemy = objectAs<EnemyProtocol>(bodyBinding)) enemies_.push_back(enemy);
                break;
            default:
                break;
        }
        return;
    }
    switch (fixtureBinding->type) {
        case BindingType::kHiveSensor:
            if (GameSensor* sensor = gameLayer_ ? gameLayer_->hiveSensor() : nullptr) sensor->activate();
            break;
        case BindingType::kHideSensor:
            if (GameSensor* sensor = gameLayer_ ? gameLayer_->hideSensor() : nullptr) sensor->activate();
            break;
        case BindingType::kEnemy:
            if (auto* enemy = objectAs<EnemyProtocol>(fixtureBinding)) contactSensors_.push_back(enemy);
            break;
        case BindingType::kEnemyVision:
            if (auto* enemy = objectAs<EnemyProtocol>(fixtureBinding)) visionSensors_.push_back(enemy);
            break;
        default:
            break;
    }
}

void GameContactListener::EndContact(b2Contact* contact) {
    b2Fixture* a = contact->GetFixtureA();
    b2Fixture* b = contact->GetFixtureB();
    b2Fixture* player = a->GetFilterData().groupIndex == collision::kBeeGroup   ? a
                        : b->GetFilterData().groupIndex == collision::kBeeGroup ? b
                                                                                : nullptr;
    if (!player) return;
    b2Fixture* other = player == a ? b : a;
    const PhysicsSystemBinding* bodyBinding = bindingOf(other->GetBody());
    if (player->GetFilterData().categoryBits == kBeeSensingBits && typeOf(bodyBinding) == BindingType::kFlower) {
        if (GameObject* flower = objectAs<GameObject>(bodyBinding)) {
            flowersEnded_.push_back(flower);
            removeAll(flowersBegun_, flower);
            removeAll(flowersInContact_, flower);
        }
        return;
    }
    const PhysicsSystemBinding* fixtureBinding = bindingOf(other);
    if (!fixtureBinding || !other->IsSensor()) return;
    switch (fixtureBinding->type) {
        case BindingType::kHiveSensor:
            if (GameSensor* sensor = gameLayer_ ? gameLayer_->hiveSensor() : nullptr) sensor->deactivate();
            break;
        case BindingType::kHideSensor:
            if (GameSensor* sensor = gameLayer_ ? gameLayer_->hideSensor() : nullptr) sensor->deactivate();
            break;
        case BindingType::kEnemy:
            if (auto* enemy = objectAs<EnemyProtocol>(fixtureBinding)) removeAll(contactSensors_, enemy);
            break;
        case BindingType::kEnemyVision:
            if (auto* enemy = objectAs<EnemyProtocol>(fixtureBinding)) removeAll(visionSensors_, enemy);
            break;
        default:
            break;
    }
}

void GameContactListener::PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) {
    if (!postSolveEnabled_) return;
    DestructableProtocol* candidates[2] = {};
    int count = 0;
    for (const b2Body* body : {contact->GetFixtureA()->GetBody(), contact->GetFixtureB()->GetBody()}) {
        const PhysicsSystemBinding* binding = bindingOf(body);
        if (typeOf(binding) != BindingType::kPickup && typeOf(binding) != BindingType::kDestructable) continue;
        auto* destructable = objectAs<DestructableProtocol>(binding);
        if (destructable && destructable->canBeDamaged()) candidates[count++] = destructable;
    }
    if (count == 0) return;
    const int32 points = std::min(contact->GetManifold()->pointCount, impulse->count);
    float total = 0;
    for (int32 i = 0; i < points; ++i) total += impulse->normalImpulses[i];
    for (int i = 0; i < count; ++i) {
        candidates[i]->setAccumulatedImpulse(candidates[i]->accumulatedImpulse() + total);
        damaged_.push_back(candidates[i]);
    }
}

void GameContactListener::preStep() {
    PhysicsSystemContactListener::preStep();
    flowersBegun_.clear();
    flowersEnded_.clear();
    pickups_.clear();
    damaged_.clear();
    enemies_.clear();
    projectilesHittingPlayer_.clear();
    projectilesHittingObjects_.clear();
}

void GameContactListener::holdListedObjects() {
    held_.clear();
    auto hold = [this](const auto& list) {
        for (auto* object : list) {
            if (GameObject* gameObject = gameObjectOf(object)) held_.emplace_back(gameObject);
        }
    };
    hold(flowersInContact_);
    hold(flowersBegun_);
    hold(flowersEnded_);
    hold(pickups_);
    hold(damaged_);
    hold(enemies_);
    hold(contactSensors_);
    hold(visionSensors_);
    hold(projectilesHittingPlayer_);
    hold(projectilesHittingObjects_);
}

void GameContactListener::postStep() {
    holdListedObjects();
    for (GameObject* flower : snapshot(flowersBegun_, flowerSnapshot_)) {
        if (!flower->isGone() && gameLayer_) gameLayer_->beginPlayerFlowerContact(flower);
    }
    for (GameObject* flower : snapshot(flowersEnded_, flowerSnapshot_)) {
        if (!flower->isGone() && gameLayer_) gameLayer_->endPlayerFlowerContact(flower);
    }
    if (!damaged_.empty()) {
        deduplicate(damaged_);
        for (DestructableProtocol* object : snapshot(damaged_, damagedSnapshot_)) {
            if (!isGone(object)) object->applyDamage();
        }
    }
    if (!pickups_.empty()) {
        deduplicate(pickups_);
        dropGone(pickups_);
        if (!pickups_.empty() && gameLayer_) gameLayer_->handlePickupContacts();
    }
    if (!enemies_.empty()) {
        deduplicate(enemies_);
        dropGone(enemies_);
        if (!enemies_.empty() && gameLayer_) gameLayer_->handleEnemyContacts();
    }
    deduplicate(contactSensors_);
    deduplicate(visionSensors_);
    deduplicate(projectilesHittingObjects_);
    if (!projectilesHittingPlayer_.empty()) {
        deduplicate(projectilesHittingPlayer_);
        // A shot that hit the bee in this step does not also hit an object.
        for (ProjectileProtocol* projectile : projectilesHittingPlayer_) {
            auto& objects = projectilesHittingObjects_;
            const auto found = std::find(objects.begin(), objects.end(), projectile);
            if (found != objects.end()) objects.erase(found);
        }
        dropGone(projectilesHittingPlayer_);
        if (!projectilesHittingPlayer_.empty() && gameLayer_) gameLayer_->handleProjectileContacts();
    }
    for (ProjectileProtocol* projectile : snapshot(projectilesHittingObjects_, projectileSnapshot_)) {
        if (!isGone(projectile)) projectile->contactGameObject(nullptr);
    }
    held_.clear();
}

void GameContactListener::forgetObject(GameObject* object) {
    removeAll(flowersInContact_, object);
    removeAll(flowersBegun_, object);
    removeAll(flowersEnded_, object);
    auto forget = [object](auto& list) {
        std::erase_if(list, [object](auto* entry) { return gameObjectOf(entry) == object; });
    };
    forget(pickups_);
    forget(damaged_);
    forget(enemies_);
    forget(contactSensors_);
    forget(visionSensors_);
    forget(projectilesHittingPlayer_);
    forget(projectilesHittingObjects_);
}
