#include "engine/render/CCParticleMeteor.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 150,
    .duration = -1,
    .gravity = {-200, 200},
    .speed = 15,
    .speedVar = 5,
    .angle = 90,
    .angleVar = 360,
    .heightFraction = 0.5,
    .life = 2,
    .lifeVar = 1,
    .startSize = 60,
    .startSizeVar = 10,
    .startColor = {0.2f, 0.4f, 0.7f, 1},
    .startColorVar = {0, 0, 0.2f, 0.1f},
    .endColor = {0, 0, 0, 1},
    .additive = true,
};
}  // namespace

RefPtr<CCParticleMeteor> CCParticleMeteor::node() { return made<CCParticleMeteor>(); }

const CCParticlePresetParameters& CCParticleMeteor::parameters() const { return kParameters; }
