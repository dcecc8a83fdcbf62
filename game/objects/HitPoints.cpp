#include "game/objects/HitPoints.h"

#include <cmath>

#include "game/core/Units.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {

float positiveOrZero(const Value& value) {
    const float number = value.floatValue();
    return std::isfinite(number) && number > 0 ? number : 0.0f;
}
}  // namespace

HitPoints HitPoints::read(const Value& data) {
    HitPoints armour;
    armour.maxHitPoints = positiveOrZero(data["hit_points"]);
    if (!armour.isArmoured()) return armour;
    armour.hitPoints = armour.maxHitPoints;
    armour.hitPointsPerc = 1.0f;
    armour.minImpulseToDamage = positiveOrZero(data["min_impulse_to_damage"]);
    return armour;
}

HitPoints::Hit HitPoints::applyAccumulatedImpulse() {
    const float impulse = accumulatedImpulse;
    accumulatedImpulse = 0;
    if (!isArmoured() || !std::isfinite(impulse) || impulse < minImpulseToDamage) return Hit::kNone;
    hitPoints = std::fmax(hitPoints - impulse, 0.0f);
    hitPointsPerc = hitPoints / maxHitPoints;
    if (hitPointsPerc <= units::kEpsilon) {
        hitPoints = hitPointsPerc = 0;
        return Hit::kBroken;
    }
    return Hit::kDamaged;
}

void HitPoints::clear() { hitPoints = hitPointsPerc = accumulatedImpulse = 0; }

uint32_t HitPoints::frameIndex(uint32_t first, uint32_t last) const {
    if (last <= first) return first;
    const float offset = std::round(hitPointsPerc * static_cast<float>(last - first));
    if (!(offset > 0)) return first;
    const uint32_t index = first + static_cast<uint32_t>(offset);
    return index > last ? last : index;
}

}  // namespace game
