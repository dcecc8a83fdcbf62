#include "engine/render/CCParticleSun.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 350,
    .duration = -1,
    .speed = 20,
    .speedVar = 5,
    .angle = 90,
    .angleVar = 360,
    .heightFraction = 0.5,
    .life = 1,
    .lifeVar = 0.5f,
    .startSize = 30,
    .startSizeVar = 10,
    .startColor = {0.76f, 0.25f, 0.12f, 1},
    .endColor = {0, 0, 0, 1},
    .additive = true,
    .additiveBeforeTexture = true,
};
}  // namespace

RefPtr<CCParticleSun> CCParticleSun::node() { return made<CCParticleSun>(); }

const CCParticlePresetParameters& CCParticleSun::parameters() const { return kParameters; }
