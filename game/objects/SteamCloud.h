#pragma once

#include <cstdint>

#include "game/objects/RuledEnemy.h"

class PhysicsSprite;

namespace game {

class ProjectileData;
class SimpleEffect;

// A short-lived puff of steam: it drifts straight away from the planet
// centre, grows from its start to its end scale and spins over its lifetime, costs the bee nectar
// through its sensor fixtures, and may burst into a spray of shots when it dissolves while
// active. Placed by the level data (the level's enemy list) or spawned by an emitter (its parent,
// which updates it). Its kinematic body is moved by the puff itself. Contacts count as cloud hits.
//
// Type keys beyond the contact keys and "fixtures" (X, or X_min and X_max):
//   "lifetime" seconds 1; "start_scale", "end_scale" 1; "movement_speed" points per second 100;
//   "start_rotation_offset" degrees of random spread; "movement_rotation" degrees per second 0;
//   "contact_radius" points at scale 1 (0: no distance test); "destruction_effect";
//   "projectile" (the burst).
// Filters: EnemyRules::kGroundFilter for type 216, kFlyingFilter otherwise. Fixtures are built
// once at the larger of the two scales.
class SteamCloud : public RuledEnemy {
public:
    // From a level-data instance ("position", "rotation", "linear_path_data"). Null, with a log
    // line, at the planet centre, where no drift direction exists.
    static RefPtr<SteamCloud> steamCloudWithGameData(const Value& data) {
        return withGameData(data, &steamCloudWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; scales and path data are not used.
    // Null at the planet centre, with a log line.
    static RefPtr<SteamCloud> steamCloudWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                                 float scaleY, const Value& pathData);

    // A body contact costs nothing.
    uint32_t contactPlayer() override { return 0; }
    // The contact sequence, within the contact radius when there is one.
    uint32_t sensorContactPlayer() override;
    void visionContactPlayer() override {}

    // Ages, grows, drifts and spins; destroyed at its lifetime.
    void update(float dt) override;
    // The destruction effect, the burst when still active, then out of its emitter or the level.
    // Once only; the puff stays alive until this returns.
    void destroy() override;
    b2Body* getPrimaryBody() override;

    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    float scale() const { return scale_; }
    float age() const { return age_; }
    float lifetime() const { return lifetime_; }
    CGPoint velocity() const { return velocity_; }

protected:
    ~SteamCloud() override;

private:
    SteamCloud() = default;
    bool createSteamCloud(CGPoint position, float rotation);
    void createSteamCloudGeneric(CGPoint position, float rotation);
    void fireProjectiles();

    GameObjectPhysicsData physics_;
    RefPtr<SimpleEffect> destructionEffect_;
    RefPtr<ProjectileData> burst_;
    float age_ = 0;               // seconds
    float lifetime_ = 1;          // seconds
    float contactRadius_ = 0;     // points at scale 1
    float scale_ = 1;
    float startScale_ = 1;
    float endScale_ = 1;
    CGPoint velocity_ = CGPointZero;  // points per second
    float angularVelocity_ = 0;   // degrees per second, clockwise on the sprite
    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
