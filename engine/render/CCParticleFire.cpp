#include "engine/render/CCParticleFire.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 250,
    .duration = -1,
    .speed = 60,
    .speedVar = 20,
    .angle = 90,
    .angleVar = 10,
    .heightOffset = 60,
    .posVar = {40, 20},
    .life = 3,
    .lifeVar = 0.25f,
    .startSize = 54,
    .startSizeVar = 10,
    .startColor = {0.76f, 0.25f, 0.12f, 1},
    .endColor = {0, 0, 0, 1},
    .additive = true,
};
}  // namespace

RefPtr<CCParticleFire> CCParticleFire::node() { return made<CCParticleFire>(); }

const CCParticlePresetParameters& CCParticleFire::parameters() const { return kParameters; }
