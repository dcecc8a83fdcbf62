#include "engine/render/CCParticleSpiral.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 500,
    .duration = -1,
    .speed = 150,
    .radialAccel = -380,
    .tangentialAccel = 45,
    .angle = 90,
    .heightFraction = 0.5,
    .life = 12,
    .startSize = 20,
    .startColor = {0.5f, 0.5f, 0.5f, 1},
    .startColorVar = {0.5f, 0.5f, 0.5f, 0},
    .endColor = {0.5f, 0.5f, 0.5f, 1},
    .endColorVar = {0.5f, 0.5f, 0.5f, 0},
};
}  // namespace

RefPtr<CCParticleSpiral> CCParticleSpiral::node() { return made<CCParticleSpiral>(); }

const CCParticlePresetParameters& CCParticleSpiral::parameters() const { return kParameters; }
