#include "game/core/GameObject.h"

#include <cmath>
#include <string>
#include <utility>

#include "engine/render/CCAnimation.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/AnimationUtils.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"

namespace {

constexpr const char* kDataFile = "gameobject_data.plist";

// The whole of "gameobject_data.plist" while a level exists.
struct SharedData {
    Value data;
    bool loaded = false;
    GameObject::LinearPathMovementBuilder linearPath;
    GameObject::OrbitMovementBuilder orbit;
};

SharedData shared;

// A joint or motor setting, divided by `divisor` (32 turns points into metres); one that is not
// finite would put NaN into the joint's impulses.
void readFloat(const Value& data, const char* key, float* field, float divisor = 1) {
    const Value& value = data[key];
    if (value.isNone()) return;
    if (std::isfinite(value.floatValue())) {
        *field = value.floatValue() / divisor;
    } else {
        logLine("Game objects: \"%s\" is not finite; %g stays", key, *field);
    }
}

void readBool(const Value& data, const char* key, bool* field) {
    const Value& value = data[key];
    if (!value.isNone()) *field = value.boolValue();
}

// Whether a joint between the bodies may be made in the running game's world now.
b2World* worldForJoint(b2Body* bodyA, b2Body* bodyB, CGPoint position, const char* kind) {
    b2World* world = VantrelGameLayer::currentPhysicsWorld();
    if (!bodyA || !bodyB || !std::isfinite(position.x) || !std::isfinite(position.y)) {
        logLine("Physics: %s joint refused: a body is missing or the anchor is not finite", kind);
        return nullptr;
    }
    if (!worldAcceptsChanges(world, "CreateJoint")) return nullptr;
    if (bodyA->GetWorld() != world || bodyB->GetWorld() != world) {
        logLine("Physics: %s joint refused: the bodies are not in the game's world", kind);
        return nullptr;
    }
    return world;
}

b2Vec2 anchorOf(CGPoint position) {
    return b2Vec2(static_cast<float>(position.x) / units::kPointsPerMetre,
                  static_cast<float>(position.y) / units::kPointsPerMetre);
}

}  // namespace

void GameObject::loadData() {
    if (shared.loaded) return;
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(kDataFile);
    std::string error;
    std::optional<Value> data = Value::fromFile(path, &error);
    if (!data || !data->isDictionary()) {
        logLine("Game objects: cannot read %s: %s", kDataFile, data ? "not a dictionary" : error.c_str());
        data = Value::dictionary();
    }
    shared.data = std::move(*data);
    shared.loaded = true;
}

void GameObject::cleanupData() {
    shared.data = Value();
    shared.loaded = false;
}

void GameObject::setMovementBuilders(LinearPathMovementBuilder linearPath, OrbitMovementBuilder orbit) {
    shared.linearPath = std::move(linearPath);
    shared.orbit = std::move(orbit);
}

GameObject::~GameObject() = default;

bool GameObject::initGameObjectWithGameData(const Value& data) {
    return initGameObjectWithType(data["type"].intValue());
}

bool GameObject::initGameObjectWithType(int32_t type) {
    type_ = type;
    gameObjectData_ = shared.data["gameobjects"][std::to_string(type)];
    typeName_ = gameObjectData_["type_name"].stringValue();
    const Value& imageName = gameObjectData_["image_name"];
    imageName_ = imageName.isNone() ? typeName_ : imageName.stringValue();
    priority_ = 0;
    return true;
}

bool GameObject::loadRangeFrom(const Value& data, const std::string& key, float* minimum, float* maximum) {
    if (const Value& fixed = data[key]; !fixed.isNone()) {
        *minimum = *maximum = fixed.floatValue();
        return true;
    }
    const Value& low = data[key + "_min"];
    const Value& high = data[key + "_max"];
    if (low.isNone() || high.isNone()) return false;
    *minimum = low.floatValue();
    *maximum = high.floatValue();
    return true;
}

float GameObject::randomInRange(float minimum, float maximum) {
    return minimum + Random::unitFloat() * (maximum - minimum);
}

int64_t GameObject::randomCountInRange(int64_t minimum, int64_t maximum) {
    if (maximum <= minimum) return minimum;
    const uint64_t choices = static_cast<uint64_t>(maximum - minimum) + 1;
    return minimum + static_cast<int64_t>(Random::arc4random() % choices);
}

void GameObject::loadGameObjectSettingsFrom(const Value& data, GameObjectBasicData* basic, bool defaultScale) {
    basic->position = NSPointFromString(data["position"].stringValue());
    basic->rotation = data["rotation"].floatValue();
    if (defaultScale) {
        basic->scaleX = basic->scaleY = 1;
    } else if (const Value& scale = data["scale"]; !scale.isNone()) {
        basic->scaleX = basic->scaleY = scale.floatValue();
    } else {
        basic->scaleX = data["scale_x"].floatValue();
        basic->scaleY = data["scale_y"].floatValue();
    }
}

void GameObject::loadPhysicsSettingsFrom(const Value& data, GameObjectPhysicsData* physics, bool useDefaults) {
    if (useDefaults) *physics = GameObjectPhysicsData{};
    const struct {
        const char* key;
        float* field;
        PhysicsValueRange range;
    } settings[] = {
        {"linear_damping", &physics->linearDamping, kDampingRange},
        {"angular_damping", &physics->angularDamping, kDampingRange},
        {"density", &physics->density, kDensityRange},
        {"friction", &physics->friction, kFrictionRange},
        {"restitution", &physics->restitution, kRestitutionRange},
        {"gravity_scale", &physics->gravityScale, kGravityScaleRange},
    };
    for (const auto& setting : settings) {
        const Value& given = data[setting.key];
        if (given.isNone()) continue;
        const float value = given.floatValue();
        if (setting.range.holds(value)) {
            *setting.field = value;
        } else if (!(value < 0 && setting.range.least == 0)) {
            // A negative material or damping value means "the default" and is passed over quietly.
            logLine("Game objects: \"%s\" %g refused: not %g to %g; %g stays", setting.key, value,
                    setting.range.least, setting.range.most, *setting.field);
        }
    }
}

void GameObject::loadPhysicsMotorSettingsFrom(const Value& data, GameObjectPhysicsMotorData* motor,
                                              bool useDefaults) {
    if (useDefaults) *motor = GameObjectPhysicsMotorData{};
    readBool(data, "motor_enabled", &motor->enabled);
    readFloat(data, "motor_speed", &motor->speed);
    readFloat(data, "motor_max_torque", &motor->maxTorque);
}

void GameObject::loadPhysicsPrismaticJointSettingsFrom(const Value& data, GameObjectPhysicsPrismaticJointData* joint,
                                                       bool useDefaults) {
    if (useDefaults) *joint = GameObjectPhysicsPrismaticJointData{};
    readFloat(data, "lower_translation", &joint->lowerTranslation, units::kPointsPerMetre);
    readFloat(data, "upper_translation", &joint->upperTranslation, units::kPointsPerMetre);
    readBool(data, "limit_enabled", &joint->limitEnabled);
    readFloat(data, "motor_max_force", &joint->motorMaxForce);
    readFloat(data, "motor_speed", &joint->motorSpeed);
    readBool(data, "motor_enabled", &joint->motorEnabled);
}

void GameObject::loadPhysicsRotationJointSettingsFrom(const Value& data, GameObjectPhysicsRotationJointData* joint,
                                                      bool useDefaults) {
    if (useDefaults) *joint = GameObjectPhysicsRotationJointData{};
    readFloat(data, "lower_angle", &joint->lowerAngle);
    readFloat(data, "upper_angle", &joint->upperAngle);
    readBool(data, "limit_enabled", &joint->limitEnabled);
    readFloat(data, "motor_max_torque", &joint->motorMaxTorque);
    readFloat(data, "motor_speed", &joint->motorSpeed);
    readBool(data, "motor_enabled", &joint->motorEnabled);
}

b2Joint* GameObject::joinRevoluteBody(b2Body* bodyA, b2Body* bodyB, CGPoint position) {
    b2World* world = worldForJoint(bodyA, bodyB, position, "revolute");
    if (!world) return nullptr;
    b2RevoluteJointDef definition;
    definition.Initialize(bodyA, bodyB, anchorOf(position));
    return world->CreateJoint(&definition);
}

b2Joint* GameObject::joinWeldBody(b2Body* bodyA, b2Body* bodyB, CGPoint position) {
    b2World* world = worldForJoint(bodyA, bodyB, position, "weld");
    if (!world) return nullptr;
    b2WeldJointDef definition;
    definition.Initialize(bodyA, bodyB, anchorOf(position));
    return world->CreateJoint(&definition);
}

CGPoint GameObject::localToGlobalPosition(CGPoint local, CGPoint globalPosition, float globalRotation) {
    const float a = globalRotation * units::kRadiansPerDegree;
    const float x = static_cast<float>(local.x);
    const float y = static_cast<float>(local.y);
    return CGPointMake(x * std::cos(a) - y * std::sin(a) + static_cast<float>(globalPosition.x),
                       x * std::sin(a) + y * std::cos(a) + static_cast<float>(globalPosition.y));
}

void GameObject::createSimpleAnimation() {
    if (animation_) return;
    const Value& data = gameObjectData_["animation"];
    if (data.isNone()) return;
    animation_ = AnimationUtils::createSimpleAnimation(typeName_, data, imageName_);
    const Value& idle = data["idle_frame"];
    animationIdleFrame_ = idle.isNone() ? -1 : idle.intValue() - 1;
}

void GameObject::playSimpleAnimationWithSprite(CCSprite* sprite) {
    if (animation_) AnimationUtils::playSimpleAnimation(animation_, sprite, true);
}

void GameObject::stopSimpleAnimationWithSprite(CCSprite* sprite) {
    stopSimpleAnimationWithSprite(sprite, animationIdleFrame_);
}

void GameObject::stopSimpleAnimationWithSprite(CCSprite* sprite, int32_t idleFrame) {
    if (animation_) AnimationUtils::stopSimpleAnimation(sprite, animation_.get(), idleFrame);
}

RefPtr<MovementProtocol> GameObject::createMovementForNode(CCNode* node, const Value& instancePathData) {
    const Value& movements = shared.data["movements"];
    const Value* movement = &gameObjectData_["movement"];
    if (movement->isNone()) {
        if (const Value& id = gameObjectData_["movement_id"]; !id.isNone()) {
            movement = &movements[id.stringValue()];
        } else if (const Value& ids = gameObjectData_["movement_ids"]; ids.count() > 0) {
            movement = &movements[ids.at(Random::arc4random() % ids.count()).stringValue()];
        }
    }
    if (movement->isNone() && instancePathData.isNone()) return nullptr;
    const Value& behaviour = (*movement)["linear_path_behaviour"];
    if (!instancePathData.isNone()) {
        return shared.linearPath ? shared.linearPath(behaviour, instancePathData, node) : nullptr;
    }
    if (const Value& path = (*movement)["linear_path_data"]; !path.isNone()) {
        return shared.linearPath ? shared.linearPath(behaviour, path, node) : nullptr;
    }
    if (const Value& orbit = (*movement)["orbit"]; !orbit.isNone()) {
        return shared.orbit ? shared.orbit(orbit, node) : nullptr;
    }
    return nullptr;
}

void GameObject::removeChild(GameObject*) {}
void GameObject::update(float) {}
void GameObject::onDayIsOver() {}
b2Body* GameObject::getPrimaryBody() { return nullptr; }
CCAnimation* GameObject::animation() const { return animation_.get(); }

bool GameObject::isFlower() const { return static_cast<uint32_t>(type_) - 1 < 99; }
bool GameObject::isPickup() const { return static_cast<uint32_t>(type_) - 100 < 100; }
bool GameObject::isEnemy() const { return static_cast<uint32_t>(type_) - 200 < 100; }
bool GameObject::isProjectile() const { return static_cast<uint32_t>(type_) - 300 < 100; }
bool GameObject::isDestructable() const { return static_cast<uint32_t>(type_) - 400 < 100; }
bool GameObject::isDynamic() const { return static_cast<uint32_t>(type_) - 500 < 100; }
bool GameObject::isStructure() const { return static_cast<uint32_t>(type_) - 600 < 100; }
bool GameObject::isEmitter() const { return static_cast<uint32_t>(type_) - 700 < 100; }
bool GameObject::isAnimation() const { return static_cast<uint32_t>(type_) - 800 < 100; }
bool GameObject::isUnique() const { return type_ > 999; }
