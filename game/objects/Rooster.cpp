#include "game/objects/Rooster.h"

#include <cmath>

#include "engine/actions/CCActionInterval.h"
#include "engine/core/CCNode.h"
#include "game/core/AnimationUtils.h"
#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Units.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/SimpleEffector.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
b2Filter strikeFilter(bool enabled) {
    EnemyRules::Filter filter = EnemyRules::kGroundFilter;
    if (!enabled) filter.mask = CollisionMask::none();
    return filterFor(filter);
}
}  // namespace

RefPtr<Rooster> Rooster::roosterWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                         const Value& pathData) {
    RefPtr<Rooster> rooster(new Rooster);
    rooster->initGameObjectWithType(type);
    if (!rooster->createRooster(position, rotation, scaleX, scaleY, pathData)) return nullptr;
    return rooster;
}

bool Rooster::createRooster(CGPoint position, float rotation, float scaleX, float scaleY, const Value& pathData) {
    setPriority(2);
    // Its fixtures are built at the instance's scale: a scale of about 0 would make shapes of no size.
    if (!ObjectPhysics::isUsableScale(scaleX, scaleY, "rooster", type())) return false;
    initScaleX_ = scaleX;
    initScaleY_ = scaleY;
    flipLeftRight_ = scaleX < 0;
    const Value& data = gameObjectData();
    loadPhysicsSettingsFrom(data, &physics_, true);
    createSimpleAnimation();
    rules_.readContactKeys(data);
    sensorContactEffector_ = SimpleEffector::simpleEffectorWithDictionary(data["sensor_contact_effector"]);
    strikeDelayRange_ = LevelDataRange::read(data, "strike_delay", 1.0f);
    resetStrikeDelay();
    if (GameObjectKinds::isKind("Rooster", type())) createRoosterGeneric(position, rotation, pathData);
    return true;
}

void Rooster::createRoosterGeneric(CGPoint position, float rotation, const Value& pathData) {
    const Value& data = gameObjectData();
    physicsSprite_ = EnemyRules::createSprite(this);
    stopSimpleAnimationWithSprite(physicsSprite_.get());
    physicsSprite_->setScaleX(initScaleX_);
    physicsSprite_->setScaleY(initScaleY_);
    rules_.createTurret(data, physicsSprite_.get());
    b2Body* body = rules_.createBody(this, physicsSprite_.get(), b2_dynamicBody, position, rotation, physics_, data,
                                     EnemyRules::kGroundFilter, BindingType::kEnemy, true, initScaleX_, initScaleY_);
    if (!body) return;
    createStrikeFixtures(body);
    rules_.bindSensors(body, physicsSprite_.get());
    ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();

    movement_ = EnemyRules::createMovement(this, physicsSprite_->position(), physicsSprite_->rotation(), pathData,
                                           &movementNode_);
    EnemyRules::settleBody(body, movement_ != nullptr);
    EnemyRules::addToSpriteLayer(physicsSprite_.get(), Level::kSpriteLayerForeground);
}

void Rooster::createStrikeFixtures(b2Body* body) {
    const Value& zones = gameObjectData()["strike_fixtures"];
    b2Fixture** fixtures[2] = {&strikeFixtureRight_, &strikeFixtureLeft_};
    for (size_t i = 0; i < 2; ++i) {
        if (zones.at(i).isNone()) {
            logLine("Game objects: rooster %d has no strike fixture %zu; that side never strikes", type(), i);
            continue;
        }
        b2FixtureDef definition;
        *fixtures[i] = PhysicsUtils::parseFixtureForBody(
            body, zones.at(i), &definition, nullptr, initScaleX_, initScaleY_, physics_.density, physics_.friction,
            physics_.restitution, EnemyRules::kGroundFilter.group, EnemyRules::kGroundFilter.category,
            EnemyRules::kGroundFilter.mask);
    }
    disableStrikeSensor(Side::kBoth);
}

Rooster::~Rooster() {
    if (movement_ && PhysicsSprite::autoDestroyAllBodies()) EnemyRules::leaveAutoStop(getPrimaryBody());
    EnemyRules::release(this, physicsSprite_.get());
}

b2Body* Rooster::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

void Rooster::setStrikeFilter(Side side, bool enabled) {
    const b2Filter filter = strikeFilter(enabled);
    if (side != Side::kRight && strikeFixtureLeft_) strikeFixtureLeft_->SetFilterData(filter);
    if (side != Side::kLeft && strikeFixtureRight_) strikeFixtureRight_->SetFilterData(filter);
    isStrikeSensorEnabled_ = enabled;
}

Rooster::Side Rooster::facingSide() const {
    // A rooster placed mirrored had its strike fixtures built mirrored too.
    const bool facesLeft = flipLeftRight_ ? physicsSprite_->scaleX() >= 0 : physicsSprite_->scaleX() < 0;
    return facesLeft ? Side::kLeft : Side::kRight;
}

void Rooster::strike() {
    if (isStriking_ || !physicsSprite_) return;
    isStriking_ = true;
    strikeSensorEnabledDelay_ = gameObjectData()["strike_enabled_delay"].floatValue();
    // The strike sensor may hurt the bee as soon as it switches on.
    rules_.setContactDelay(0);
    if (PhysicsSprite* bee = EnemyRules::beeHead()) {
        const double angle = physicsSprite_->rotation() * -units::kRadiansPerDegree;
        const double dx = bee->position().x - physicsSprite_->position().x;
        const double dy = bee->position().y - physicsSprite_->position().y;
        const bool beeAhead = dx * std::cos(angle) + dy * std::sin(angle) >= 0;
        physicsSprite_->setScaleX(beeAhead ? std::fabs(initScaleX_) : -std::fabs(initScaleX_));
    }
    if (animation()) AnimationUtils::playSimpleAnimation(RefPtr<CCAnimation>(animation()), physicsSprite_.get(), false);
}

uint32_t Rooster::contactPlayer() {
    if (!rules_.admitContact()) return 0;
    rules_.hurtBee(physicsSprite_.get());
    const uint32_t penalty = rules_.countContact(HitStatistic::kGround);
    strike();
    return penalty;
}

uint32_t Rooster::sensorContactPlayer() {
    if (!rules_.admitContact()) return 0;
    rules_.hurtBee(physicsSprite_.get(), sensorContactEffector_.get());
    return rules_.countContact(HitStatistic::kGround);
}

void Rooster::visionContactPlayer() {
    if (rules_.active() && !isStriking_ && strikeDelay_ <= 0) strike();
}

void Rooster::update(float dt) {
    rules_.update(dt);
    strikeDelay_ -= dt;
    if (!isStriking_ || !physicsSprite_) return;
    auto* running = dynamic_cast<CCActionInterval*>(AnimationUtils::getSimpleAnimation(physicsSprite_.get()));
    if (!running) {
        disableStrikeSensor(Side::kBoth);
        resetStrikeDelay();
        isStriking_ = false;
    } else if (running->elapsed() / running->duration() > 0.5f) {
        disableStrikeSensor(Side::kBoth);
    } else if (!isStrikeSensorEnabled_) {
        strikeSensorEnabledDelay_ -= dt;
        if (strikeSensorEnabledDelay_ <= 0) enableStrikeSensor(facingSide());
    }
}

void Rooster::setMovement(RefPtr<MovementProtocol> movement) { movement_ = std::move(movement); }

}  // namespace game
