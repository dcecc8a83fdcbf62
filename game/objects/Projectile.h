#pragma once

#include <cstdint>

#include "game/core/GameObject.h"
#include "game/core/ProjectileProtocol.h"

class PhysicsSprite;

namespace game {

class SimpleEffect;
class SimpleEffector;
class SimpleSoundEffect;

// A shot: a small dynamic body falling towards the planet centre that costs the
// bee nectar when it hits it and disappears on its first hit of anything, at nightfall, or when
// the level's cap on live shots takes it. Only types 300-304 and 350 have a body; a shot of
// any other type is refused (null, one log line), since everything that fires or places a shot
// moves its body. Priority 1: it lives in the level's projectile list and has no frame update.
//
// Type keys: "nectar_penalty" (nectar; only above 0 costs), "contact_effect",
// "destruction_effect", "contact_effector", "contact_sound_effect", "fixtures", and the physics
// settings (defaults 0.1, 0.1, 1.0, 0.2, 0, 1.0). Frame "<image name>.png" in the foreground.
// Fixtures: group -8, kShot meeting collision::kSolidMask; binding kProjectile.
class Projectile : public GameObject, public ProjectileProtocol {
public:
    // From a level-data instance ("position", "rotation"; its scale is not used).
    static RefPtr<Projectile> projectileWithGameData(const Value& data) {
        return withGameData(data, &projectileWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; the scales are not used.
    static RefPtr<Projectile> projectileWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                                 float scaleY);
    static bool hasBody(int32_t type) { return (type >= 300 && type <= 304) || type == 350; }

    // ProjectileProtocol: the bee is hit (effect, push, sound, count, then gone); the returned
    // penalty is the shot's, read before it goes.
    uint32_t contactPlayer() override;
    uint32_t sensorContactPlayer() override { return contactPlayer(); }
    bool canHit() override { return active_ && !isGone(); }
    void contactGameObject(GameObject*) override { destroy(); }
    // Inactive, the destruction effect where it is, and out of its parent object or the level.
    // Once only.
    void destroy() override;

    void onDayIsOver() override;
    b2Body* getPrimaryBody() override;

    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }
    uint32_t nectarDropletsPenalty() const { return nectarDropletsPenalty_; }
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }

protected:
    ~Projectile() override;

private:
    Projectile() = default;
    bool createProjectile(CGPoint position, float rotation);

    bool active_ = true;
    uint32_t nectarDropletsPenalty_ = 0;
    RefPtr<SimpleEffect> contactEffect_;
    RefPtr<SimpleEffect> destructionEffect_;
    RefPtr<SimpleEffector> contactEffector_;
    RefPtr<SimpleSoundEffect> contactSoundEffect_;
    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
