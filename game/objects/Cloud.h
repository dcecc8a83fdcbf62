#pragma once

#include <cstdint>

#include "game/objects/RuledEnemy.h"

class CCSprite;
class MovementProtocol;
class PhysicsSprite;

namespace game {

class SimpleEffect;

// The weather enemy, moved by code: a kinematic body placed every frame where the movement puts
// the cloud's sprite. Only its sensor fixtures cost nectar; hiding clouds shelter the bee instead.
// Priority 2; sprite layer 2 (background); the instance's scale is not used.
//
//   types    kind                          sensor binding   filter                      hit counter
//   200-202  plain                         kEnemy           flying enemy                cloud
//   203-205  rain (a looping rain sprite)  kEnemy           same                        rain
//   206-208  lightning (a bolt to the bee) kEnemy           same                        lightning
//   210-212  tornado                       kEnemy           same                        tornado
//   213-215  hiding                        kHideSensor      -3, sensor area, bee head   none
//   217, 250, 251                          kEnemy           flying enemy                none
// Any other type builds no body.
//
// Type keys beyond the contact keys, "contact_animation" and "fixtures": "lightning_effect"
// (206-208), "rain_position" (points from the cloud's centre), "rain_image_name" and
// "rain_animation" (203-205).
class Cloud : public RuledEnemy {
public:
    static RefPtr<Cloud> cloudWithGameData(const Value& data) {
        return withGameData(data, &cloudWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; the scales are not used.
    static RefPtr<Cloud> cloudWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                       const Value& pathData);
    // The counter a contact with a cloud of the type raises (kNone for none).
    static HitStatistic hitStatisticForType(int32_t type);
    // The bolt's rotation (degrees, clockwise) hanging from the cloud towards the bee: 0 for a bee
    // straight below, or at the cloud itself; -90 for one to its right.
    static float lightningRotation(CGPoint cloud, CGPoint bee);

    // A body contact costs nothing and does not re-arm the delay.
    uint32_t contactPlayer() override { return 0; }
    // The contact sequence with the bolt and the contact animation.
    uint32_t sensorContactPlayer() override;

    // The frame: the contact delay, the movement, then the body takes the sprite's place.
    void update(float dt) override;
    b2Body* getPrimaryBody() override;

    // The contact animation once, then the idle animation looped (both are needed).
    void playContactAnimation();

    MovementProtocol* movement() const { return movement_.get(); }
    void setMovement(RefPtr<MovementProtocol> movement);
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    CCSprite* rainSprite() const { return rainSprite_.get(); }

protected:
    ~Cloud() override;

private:
    Cloud() = default;
    void createCloud(CGPoint position, float rotation, const Value& pathData);
    void createCloudGeneric(CGPoint position, float rotation, const Value& pathData);
    void createRainCloud(CGPoint position, float rotation, const Value& pathData);
    void createLightningCloud(CGPoint position, float rotation, const Value& pathData);
    bool isHidingCloud() const { return type() >= 213 && type() <= 215; }

    GameObjectPhysicsData physics_;
    RefPtr<SimpleEffect> lightningEffect_;
    RefPtr<MovementProtocol> movement_;
    RefPtr<PhysicsSprite> physicsSprite_;
    RefPtr<CCSprite> rainSprite_;
};

}  // namespace game
