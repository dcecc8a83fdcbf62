#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/core/DestructableProtocol.h"
#include "game/core/GameObject.h"
#include "game/objects/HitPoints.h"

class PhysicsSprite;

namespace game {

class SimpleEffect;
class SimpleSoundEffect;

// A breakable prop: it loses hit points to impacts, shows a more damaged image
// at each hit with a damage sound and, at 0, shows its broken image, plays a destruction sound
// and effect and leaves its parent object or the level. Codes 400-403 take the placement's
// scale, 450-456 are unscaled; other codes build no sprite and no body. Priority 1.
//
// Type keys: "is_static_body", "hit_points", "min_impulse_to_damage", "image_names" (broken
// first, intact last), "damage_sound_effect", "destruction_sound_effect", "destruction_effect",
// "fixtures", physics settings. Fixtures: group 6; type 400 (the plank box) kPlankBox meeting
// collision::kPlankBoxMask, the others kDestructable meeting kSolidMask; binding kDestructable. A type without positive
// "hit_points" or without "image_names" takes no damage and shows "<img>.png". A scaled code with a scale of about 0 is
// refused (null, one log line).
class Destructable : public GameObject, public DestructableProtocol {
public:
    static RefPtr<Destructable> destructableWithGameData(const Value& data) {
        return withGameData(data, &destructableWithType, InstanceScale::kRead);
    }
    static RefPtr<Destructable> destructableWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                                     float scaleY);

    // DestructableProtocol.
    bool canBeDamaged() override { return active_ && hitPoints_.isArmoured(); }
    float accumulatedImpulse() override { return hitPoints_.accumulatedImpulse; }
    void setAccumulatedImpulse(float impulse) override { hitPoints_.accumulatedImpulse = impulse; }
    void applyDamage() override;
    // Once only: broken image, sound, effect, then leaves its parent or the level.
    void destroy() override;

    void onDayIsOver() override { active_ = false; }

    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }
    bool isStaticBody() const { return isStaticBody_; }
    float hitPoints() const { return hitPoints_.hitPoints; }
    float maxHitPoints() const { return hitPoints_.maxHitPoints; }
    float hitPointsPerc() const { return hitPoints_.hitPointsPerc; }
    float minImpulseToDamage() const { return hitPoints_.minImpulseToDamage; }
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    // The index into "image_names" shown last; -1 before any.
    int32_t shownImageIndex() const { return shownImageIndex_; }

protected:
    ~Destructable() override;

private:
    Destructable() = default;
    bool createDestructable(CGPoint position, float rotation, float scaleX, float scaleY);
    void showImage(uint32_t index);

    bool active_ = true;
    bool isStaticBody_ = false;
    bool usesGravity_ = true;
    HitPoints hitPoints_;
    std::vector<std::string> spriteFrameNames_;  // broken first, intact last
    uint32_t lastSpriteFrameIndex_ = 0;
    int32_t shownImageIndex_ = -1;
    RefPtr<SimpleSoundEffect> damageSoundEffect_;
    RefPtr<SimpleSoundEffect> destructionSoundEffect_;
    RefPtr<SimpleEffect> destructionEffect_;
    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
