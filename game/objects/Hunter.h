#pragma once

#include <cstdint>

#include "game/objects/RuledEnemy.h"

class CCAnimation;
class CCSprite;
class PhysicsSprite;

namespace game {

// The hornet (codes of other kinds build no body): a free-flying dynamic body out of the
// planet's pull, steered each frame by one force and one torque. It idles, chases the bee while
// it sees it (aiming at where the bee will be in one second), and otherwise hunts: patrols round
// the planet at a random height in a random direction. Enough stings make it ignore the bee for a
// while. Its turret aims and fires at the bee in view, mirrored when it points left whatever
// "turret_flip_y" says. Stings of type 240 count as hornet hits.
// Priority 2; sprite layer 2; the instance's scale is not used.
//
// Type keys beyond the shared enemy rules (an absent key reads 0):
//   "idle_delay_min"/"_max", "hunt_delay_min"/"_max"   seconds
//   "hunt_acceleration_force", "chase_acceleration_force", "rotation_torque"   newtons, N m
//   "min_rotation_force"   below it the hornet turns upright instead of along its force
//   "ignore_threshold", "ignore_contact_amount"   both turn ignoring on
//   "body_animation", "wings_animation" (named "<type name>_body" and "_wings"),
//   "wings_position" (points on the body sprite)
class Hunter : public RuledEnemy {
public:
    enum class State { kIdle, kChase, kHunt };

    // From a level-data instance ("position", "rotation").
    static RefPtr<Hunter> hunterWithGameData(const Value& data) {
        return withGameData(data, &hunterWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; scales and path data are not used.
    static RefPtr<Hunter> hunterWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                         const Value& pathData);

    // The contact sequence; a counted sting raises the ignore level and plays the body animation.
    uint32_t contactPlayer() override;
    uint32_t sensorContactPlayer() override;
    // Sees the bee (unless ignoring it): chases, aims and fires.
    void visionContactPlayer() override;

    // The frame: ignoring, the steering force, the turn and the facing.
    void update(float dt) override;
    b2Body* getPrimaryBody() override;

    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    State state() const { return state_; }
    bool isIgnoring() const { return isIgnoring_; }
    bool facingRight() const { return facingRight_; }
    CGPoint currentTarget() const { return currentTarget_; }
    b2Vec2 force() const { return force_; }
    float huntingHeight() const { return huntingHeight_; }

protected:
    ~Hunter() override;

private:
    Hunter() = default;
    void createHunter(CGPoint position, float rotation);
    void createHornet(CGPoint position, float rotation);
    uint32_t sting(bool withAnimation);
    void updateIgnoring(float dt);
    // The force towards the point (points), or none when already there.
    b2Vec2 forceTowards(CGPoint point) const;
    b2Vec2 huntingForce(float theta, float dt);
    void turn(float theta);
    void updateFacing(float theta);

    GameObjectPhysicsData physics_;
    State state_ = State::kIdle;
    bool seesPlayer_ = false;
    bool didSeePlayer_ = false;
    float idleDelay_ = 0;                  // seconds
    float huntDelay_ = 0;                  // seconds
    LevelDataRange idleDelayRange_;
    LevelDataRange huntDelayRange_;
    bool useIgnore_ = false;
    float ignoreCurrent_ = 0;              // falls by 1 per second
    float ignoreThreshold_ = 0;
    float ignoreThresholdDefault_ = 0;
    float ignoreContactAmount_ = 0;
    bool isIgnoring_ = false;
    float huntingHeight_ = 0;              // points from the planet centre
    LevelDataRange huntingHeightRange_;
    bool huntRight_ = true;                // clockwise round the planet
    CGPoint currentTarget_ = CGPointZero;  // points
    bool facingRight_ = true;
    b2Vec2 force_{0, 0};                   // newtons, this frame
    float huntForce_ = 0;
    float chaseForce_ = 0;
    float rotationTorque_ = 0;
    float minRotationForceSquared_ = 0;
    RefPtr<CCAnimation> bodyAnimation_;
    RefPtr<CCSprite> wingsSprite_;
    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
