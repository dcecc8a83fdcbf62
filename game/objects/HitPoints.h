#pragma once

#include <cstdint>

class Value;

namespace game {

// Armour worn down by impulses (newton-seconds): the contact listener sums the normal impulses
// an object receives during a physics step into accumulatedImpulse, and the object applies them
// once after the step. A sum below the minimum is forgotten, not carried over.
struct HitPoints {
    enum class Hit { kNone, kDamaged, kBroken };

    float hitPoints = 0;
    float maxHitPoints = 0;           // above 0 for armour that can be damaged
    float hitPointsPerc = 0;          // hitPoints / maxHitPoints
    float minImpulseToDamage = 0;
    float accumulatedImpulse = 0;

    // "hit_points" (used when above 0, else no armour) and "min_impulse_to_damage" (used when
    // above 0). Values that are not finite count as absent.
    static HitPoints read(const Value& data);

    bool isArmoured() const { return maxHitPoints > 0; }
    // Clears the sum first, then applies it when it reaches the minimum: kBroken when the
    // hit points reach 0 (they never go below), kDamaged when some are left.
    Hit applyAccumulatedImpulse();
    // Zeroes everything but the maximum.
    void clear();
    // first + the share of hit points left x (last - first), taken to the nearest whole number
    // (halves away from zero) and kept within [first, last].
    uint32_t frameIndex(uint32_t first, uint32_t last) const;
};

}  // namespace game
