#include "engine/render/CCParticleFlower.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 250,
    .duration = -1,
    .speed = 80,
    .speedVar = 10,
    .radialAccel = -60,
    .tangentialAccel = 15,
    .angle = 90,
    .angleVar = 360,
    .heightFraction = 0.5,
    .life = 4,
    .lifeVar = 1,
    .startSize = 30,
    .startSizeVar = 10,
    .startColor = {0.5f, 0.5f, 0.5f, 1},
    .startColorVar = {0.5f, 0.5f, 0.5f, 0.5f},
    .endColor = {0, 0, 0, 1},
    .additive = true,
};
}  // namespace

RefPtr<CCParticleFlower> CCParticleFlower::node() { return made<CCParticleFlower>(); }

const CCParticlePresetParameters& CCParticleFlower::parameters() const { return kParameters; }
