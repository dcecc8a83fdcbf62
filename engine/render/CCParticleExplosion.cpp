#include "engine/render/CCParticleExplosion.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 700,
    .duration = 0.1f,
    .speed = 70,
    .speedVar = 40,
    .angle = 90,
    .angleVar = 360,
    .heightFraction = 0.5,
    .life = 5,
    .lifeVar = 2,
    .startSize = 15,
    .startSizeVar = 10,
    .ratePerDuration = true,
    .startColor = {0.7f, 0.1f, 0.2f, 1},
    .startColorVar = {0.5f, 0.5f, 0.5f, 0},
    .endColor = {0.5f, 0.5f, 0.5f, 0},
    .endColorVar = {0.5f, 0.5f, 0.5f, 0},
};
}  // namespace

RefPtr<CCParticleExplosion> CCParticleExplosion::node() { return made<CCParticleExplosion>(); }

const CCParticlePresetParameters& CCParticleExplosion::parameters() const { return kParameters; }
