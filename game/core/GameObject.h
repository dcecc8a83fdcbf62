#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <functional>
#include <string>

#include "engine/render/CCAnimation.h"
#include "game/core/GameObjectProtocol.h"
#include "game/core/GameObjectSettings.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

class CCNode;
class CCSprite;
class MovementProtocol;

// The base of every object placed in a level. It is not a node: each kind owns its sprites and
// bodies and is owned by the level's lists. The base holds the type number and the type's
// dictionary from "gameobject_data.plist", answers the type's range, and offers the readers
// every kind uses to turn level data into placement, physics, motor, joint, animation and
// movement settings.
//
// "gameobject_data.plist": {"gameobjects": {"<type>": type dictionary}, "movements": {id:
// movement dictionary}}. A type dictionary's "type_name", "image_name", "animation" (with an
// optional 1-based "idle_frame"), "movement", "movement_id" and "movement_ids" are read here; all
// other keys belong to the kind. The data is loaded once per level (setupGameObjects) and dropped
// with it (cleanupGameObjects); each object keeps its own copy of its type dictionary.
//
// Level-data convention: a number X is given as X, or as X_min and X_max (both needed); floats
// draw min + Random::unitFloat() x range, counts min + Random::arc4random() % (range + 1).
class GameObject : public Object, public GameObjectProtocol {
public:
    // Builds a movement from the path behaviour dictionary (none when absent), the path data and
    // the node; or from an orbit dictionary and the node. Registered by the movement kinds.
    using LinearPathMovementBuilder =
        std::function<RefPtr<MovementProtocol>(const Value& behaviour, const Value& pathData, CCNode* node)>;
    using OrbitMovementBuilder = std::function<RefPtr<MovementProtocol>(const Value& orbit, CCNode* node)>;

    // The shared data: loaded once (a file that cannot be read leaves it empty, with a log line)
    // and kept until cleaned up.
    static void setupGameObjects() { loadData(); }
    static void cleanupGameObjects() { cleanupData(); }
    static void loadData();
    static void cleanupData();
    // Null builders (the default) make createMovementForNode answer null.
    static void setMovementBuilders(LinearPathMovementBuilder linearPath, OrbitMovementBuilder orbit);

    // The level-data convention for a number X: X itself (minimum = maximum = X) or X_min and X_max
    // (both needed). False, with nothing written, when neither form is given.
    static bool loadRangeFrom(const Value& data, const std::string& key, float* minimum, float* maximum);
    // A float drawn in the range: minimum + Random::unitFloat() x (maximum - minimum).
    static float randomInRange(float minimum, float maximum);
    // A count drawn in the range: minimum + Random::arc4random() % (range + 1); a maximum below
    // the minimum gives the minimum.
    static int64_t randomCountInRange(int64_t minimum, int64_t maximum);

    // Placement: "position" point string, "rotation" degrees; with defaultScale the scales are
    // 1, else "scale" sets both, or "scale_x" and "scale_y" one each (a missing one reads 0).
    static void loadGameObjectSettingsFrom(const Value& data, GameObjectBasicData* basic, bool defaultScale);

    // Whether a kind built from level data is placed at the instance's scales or at 1 and 1.
    enum class InstanceScale { kIgnored, kRead };
    // The constructor from an instance dictionary that the kinds share: the instance's "type" and
    // placement handed to the kind's constructor by type,
    //     withType(type, position, rotation, scaleX, scaleY, extras...),
    // where a path-data extra is the instance's "linear_path_data" and a body to join is none.
    // Null when the kind refuses the instance.
    template <typename Kind, typename... Extras>
    static RefPtr<Kind> withGameData(const Value& data,
                                     RefPtr<Kind> (*withType)(int32_t, CGPoint, float, float, float, Extras...),
                                     InstanceScale scale) {
        GameObjectBasicData basic;
        loadGameObjectSettingsFrom(data, &basic, scale == InstanceScale::kIgnored);
        return withType(data["type"].intValue(), basic.position, basic.rotation, basic.scaleX, basic.scaleY,
                        instanceExtra<Extras>(data)...);
    }
    // Defaults first when asked; "linear_damping", "angular_damping", "density", "friction",
    // "restitution" replace theirs when present and not negative; "gravity_scale" when present.
    static void loadPhysicsSettingsFrom(const Value& data, GameObjectPhysicsData* physics, bool useDefaults);
    // "motor_enabled", "motor_speed", "motor_max_torque" when present.
    static void loadPhysicsMotorSettingsFrom(const Value& data, GameObjectPhysicsMotorData* motor, bool useDefaults);
    // "lower_translation", "upper_translation" (points, stored in metres), "limit_enabled",
    // "motor_max_force", "motor_speed", "motor_enabled" when present.
    static void loadPhysicsPrismaticJointSettingsFrom(const Value& data, GameObjectPhysicsPrismaticJointData* joint,
                                                      bool useDefaults);
    // "lower_angle", "upper_angle", "limit_enabled", "motor_max_torque", "motor_speed",
    // "motor_enabled" when present.
    static void loadPhysicsRotationJointSettingsFrom(const Value& data, GameObjectPhysicsRotationJointData* joint,
                                                     bool useDefaults);

    // A revolute or weld joint with Box2D's default settings between the bodies, anchored at the
    // point (points), in the running game's world. Null, with a log line, without a world, with
    // a missing body, an anchor that is not finite, or while the world steps.
    static b2Joint* joinRevoluteBody(b2Body* bodyA, b2Body* bodyB, CGPoint position);
    static b2Joint* joinWeldBody(b2Body* bodyA, b2Body* bodyB, CGPoint position);

    // (x cos a - y sin a + gx, x sin a + y cos a + gy), a = rotation in radians, single precision.
    static CGPoint localToGlobalPosition(CGPoint local, CGPoint globalPosition, float globalRotation);
    static float localToGlobalRotation(float local, float globalRotation) { return local + globalRotation; }

    GameObject() = default;

    // The instance's integer "type", then initGameObjectWithType.
    bool initGameObjectWithGameData(const Value& data);
    // Stores the type and its dictionary, type name and image name (the type name when absent);
    // priority 0. A type without an entry gets none and empty names.
    bool initGameObjectWithType(int32_t type);

    // The type's animation, built once per object ("idle_frame" - 1 becomes the idle frame).
    void createSimpleAnimation();
    // With an animation: plays it looped; stops it showing the idle frame, or the frame given.
    void playSimpleAnimationWithSprite(CCSprite* sprite);
    void stopSimpleAnimationWithSprite(CCSprite* sprite);
    void stopSimpleAnimationWithSprite(CCSprite* sprite, int32_t idleFrame);

    // The movement of the type's "movement", else the "movements" entry of "movement_id", else
    // of a random one of "movement_ids"; driven along the instance's path data when given. Null
    // when there is none or no builder is registered.
    RefPtr<MovementProtocol> createMovementForNode(CCNode* node, const Value& instancePathData);

    // The type's dictionary, or none.
    const Value& gameObjectData() const { return gameObjectData_; }
    int32_t animationIdleFrame() const { return animationIdleFrame_; }

    // Whether the object's destroy has run; the contact listener skips such objects.
    bool isGone() const { return gone_; }

    // GameObjectProtocol; update, onDayIsOver and removeChild do nothing here.
    void removeChild(GameObject* child) override;
    void update(float dt) override;
    void onDayIsOver() override;
    // The object's main body; none here.
    virtual b2Body* getPrimaryBody();
    int32_t type() const override { return type_; }
    const std::string& typeName() const override { return typeName_; }
    uint32_t priority() const override { return priority_; }
    GameObject* parent() const override { return parent_; }
    void setParent(GameObject* parent) override { parent_ = parent; }
    const std::string& imageName() const override { return imageName_; }
    CCAnimation* animation() const override;
    bool isFlower() const override;
    bool isPickup() const override;
    bool isEnemy() const override;
    bool isProjectile() const override;
    bool isDestructable() const override;
    bool isDynamic() const override;
    bool isStructure() const override;
    bool isEmitter() const override;
    bool isAnimation() const override;
    bool isUnique() const override;

protected:
    ~GameObject() override;

    void setPriority(uint32_t priority) { priority_ = priority; }
    // Called by a kind's destroy.
    void markGone() { gone_ = true; }

private:
    // What withGameData hands a kind's constructor for each parameter past the placement.
    template <typename Extra>
    static Extra instanceExtra(const Value& data);

    int32_t type_ = 0;
    Value gameObjectData_;                   // a copy, so that it outlives the shared data
    std::string typeName_;
    uint32_t priority_ = 0;
    GameObject* parent_ = nullptr;           // not retained
    std::string imageName_;
    RefPtr<CCAnimation> animation_;
    int32_t animationIdleFrame_ = -1;        // 0-based; -1 for none
    bool gone_ = false;
};

template <>
inline const Value& GameObject::instanceExtra<const Value&>(const Value& data) {
    return data["linear_path_data"];
}

template <>
inline b2Body* GameObject::instanceExtra<b2Body*>(const Value&) {
    return nullptr;
}
