#pragma once

#include <cstdint>

#include "game/objects/RuledEnemy.h"

class CCNode;
class PhysicsSprite;

namespace game {

class Stamina;

// The robot camera (codes of other kinds build no body): a camera hanging under the planet's
// pull from a kinematic pivot, on a revolute joint that may be limited and motorised. The pivot
// travels the object's movement and rests by its stamina; the camera's turret tracks the bee and
// fires while the bee is in view. Contacts count as ground hits. Priority 2; sprite layer 3; the
// instance's scale is not used.
//
// Type keys beyond the shared enemy rules: "pivot" (the pivot's "linear_damping",
// "angular_damping", "gravity_scale", and its "rotation_joint": "lower_angle", "upper_angle"
// degrees, "limit_enabled", "motor_max_torque", "motor_speed" radians per second,
// "motor_enabled"), "stamina". Without a movement the pivot is static.
class RoboCam : public RuledEnemy {
public:
    // From a level-data instance ("position", "rotation", "linear_path_data").
    static RefPtr<RoboCam> roboCamWithGameData(const Value& data) {
        return withGameData(data, &roboCamWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; the scales are not used.
    static RefPtr<RoboCam> roboCamWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                           float scaleY, const Value& pathData);

    uint32_t contactPlayer() override;
    uint32_t sensorContactPlayer() override { return contactPlayer(); }
    void visionContactPlayer() override;

    // The frame: rules, the rest rhythm, the pivot driven to its movement, and a turret without
    // vision tracking the bee.
    void update(float dt) override;
    b2Body* getPrimaryBody() override;

    MovementProtocol* movement() const { return movement_.get(); }
    void setMovement(RefPtr<MovementProtocol> movement);
    CCNode* movementNode() const { return movementNode_.get(); }
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    b2Body* pivotBody() const { return pivotBody_; }
    Stamina* stamina() const { return stamina_.get(); }

protected:
    ~RoboCam() override;

private:
    RoboCam() = default;
    void createRoboCam(CGPoint position, float rotation, const Value& pathData);
    void createRoboCamGeneric(CGPoint position, float rotation, const Value& pathData);

    GameObjectPhysicsData physics_;
    GameObjectPhysicsData pivotPhysics_;
    GameObjectPhysicsRotationJointData joint_;
    RefPtr<Stamina> stamina_;
    RefPtr<MovementProtocol> movement_;
    RefPtr<CCNode> movementNode_;
    RefPtr<PhysicsSprite> physicsSprite_;
    b2Body* pivotBody_ = nullptr;  // the world's; destroyed with the camera
};

}  // namespace game
