#include "engine/render/CCParticleGalaxy.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 200,
    .duration = -1,
    .speed = 60,
    .speedVar = 10,
    .radialAccel = -80,
    .tangentialAccel = 80,
    .angle = 90,
    .angleVar = 360,
    .heightFraction = 0.5,
    .life = 4,
    .lifeVar = 1,
    .startSize = 37,
    .startSizeVar = 10,
    .startColor = {0.12f, 0.25f, 0.76f, 1},
    .endColor = {0, 0, 0, 1},
    .additive = true,
};
}  // namespace

RefPtr<CCParticleGalaxy> CCParticleGalaxy::node() { return made<CCParticleGalaxy>(); }

const CCParticlePresetParameters& CCParticleGalaxy::parameters() const { return kParameters; }
