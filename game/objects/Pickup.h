#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/core/GameObject.h"
#include "game/core/PickupProtocol.h"
#include "game/objects/HitPoints.h"

class PhysicsSprite;

namespace game {

class SimpleEffect;
class SimpleSoundEffect;

// A bonus the bee collects by touching it, paying nectar, honey, time and
// buddies once. An armoured pickup ("hit_points" above 0) is locked until impacts break it open,
// showing a damage image at each hit. Bodies exist for types 100, 102, 105, 106, 108-113,
// 120-123; other types build no sprite and no body. Priority 1.
//
// Type keys: "nectar" (units, may be negative: the pickup costs nectar), "honey" (only above 0
// counts), "time" (seconds, may be negative), "buddies", "remove_after_consumption" (YES),
// "hit_points", "min_impulse_to_damage", "image_names", "consumption_effect",
// "damage_sound_effect", "destruction_sound_effect", "consumption_sound_effect", "fixtures",
// "animation", physics settings. Payloads are clamped to 32 bits.
//
// "image_names" layout (n names): with removal after consumption, 0 is the broken-open image and
// 1..n-1 the damage images; without, 0 is the consumed image, 1 the broken-open one and 2..n-1
// the damage images; the last is the undamaged look. Too few names for the layout (2 with
// removal, 3 without) leave the pickup unarmoured. Fixtures: group 5, kPickup meeting
// collision::kPickupMask; binding kPickup. A pickup with only sensor fixtures is static; otherwise it falls.
// A placement scale of about 0 is refused (null, one log line).
class Pickup : public GameObject, public PickupProtocol {
public:
    static RefPtr<Pickup> pickupWithGameData(const Value& data) {
        return withGameData(data, &pickupWithType, InstanceScale::kRead);
    }
    static RefPtr<Pickup> pickupWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);
    // Whether the type has a body.
    static bool isBuiltType(int32_t type);

    // PickupProtocol.
    bool canBeConsumed() override { return active_ && availableInstantly_; }
    // Pays out once: clears the payloads, plays the sound and, with removal, shows the effect and
    // leaves its parent object or the level.
    void consume() override;
    bool canBeDamaged() override { return active_ && armour_.isArmoured() && !availableInstantly_; }
    float accumulatedImpulse() override { return armour_.accumulatedImpulse; }
    void setAccumulatedImpulse(float impulse) override { armour_.accumulatedImpulse = impulse; }
    void applyDamage() override;
    // Removed without paying out.
    void destroy() override;

    void onDayIsOver() override { active_ = false; }
    b2Body* getPrimaryBody() override;

    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }
    bool usesGravity() const { return usesGravity_; }
    bool isArmoured() const { return armour_.isArmoured(); }
    float hitPoints() const { return armour_.hitPoints; }
    float maxHitPoints() const { return armour_.maxHitPoints; }
    float hitPointsPerc() const { return armour_.hitPointsPerc; }
    float minImpulseToDamage() const { return armour_.minImpulseToDamage; }
    SimpleEffect* consumptionEffect() const { return consumptionEffect_.get(); }
    // Droplets (100000 per nectar unit).
    int32_t nectarDroplets() const override { return nectarDroplets_; }
    void setNectarDroplets(int32_t droplets) { nectarDroplets_ = droplets; }
    int32_t honeyDroplets() const override { return honeyDroplets_; }
    void setHoneyDroplets(int32_t droplets) { honeyDroplets_ = droplets; }
    int32_t timeDifference() const override { return timeDifference_; }
    void setTimeDifference(int32_t seconds) { timeDifference_ = seconds; }
    int32_t buddies() const override { return buddies_; }
    void setBuddies(int32_t buddies) { buddies_ = buddies; }
    PhysicsSprite* physicsSprite() const override { return physicsSprite_.get(); }
    // The index into "image_names" shown last; -1 before any.
    int32_t shownImageIndex() const { return shownImageIndex_; }

protected:
    ~Pickup() override;

private:
    Pickup() = default;
    bool createPickup(CGPoint position, float rotation, float scaleX, float scaleY);
    bool createBonus(CGPoint position, float rotation, float scaleX, float scaleY);
    void showImage(uint32_t index);

    bool active_ = true;
    bool availableInstantly_ = true;
    bool removeAfterConsumption_ = true;
    bool usesGravity_ = false;
    HitPoints armour_;
    std::vector<std::string> spriteFrameNames_;
    uint32_t spriteNameConsumedIndex_ = 0;
    uint32_t spriteNameAvailableIndex_ = 0;
    uint32_t spriteNameDamageIndexStart_ = 0;
    uint32_t spriteNameDamageIndexEnd_ = 0;
    int32_t shownImageIndex_ = -1;
    int32_t nectarDroplets_ = 0;
    int32_t honeyDroplets_ = 0;
    int32_t timeDifference_ = 0;   // seconds
    int32_t buddies_ = 0;
    RefPtr<SimpleEffect> consumptionEffect_;
    RefPtr<SimpleSoundEffect> damageSoundEffect_;
    RefPtr<SimpleSoundEffect> destructionSoundEffect_;
    RefPtr<SimpleSoundEffect> consumptionSoundEffect_;
    RefPtr<PhysicsSprite> physicsSprite_;
    GameObjectPhysicsData physics_;
};

}  // namespace game
