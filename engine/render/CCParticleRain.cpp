#include "engine/render/CCParticleRain.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 1000,
    .duration = -1,
    .gravity = {10, -10},
    .speed = 130,
    .speedVar = 30,
    .radialAccelVar = 1,
    .tangentialAccelVar = 1,
    .angle = -90,
    .angleVar = 5,
    .heightFraction = 1,
    .posVarWidthFraction = 0.5,
    .life = 4.5f,
    .startSize = 4,
    .startSizeVar = 2,
    .fixedRate = 20,
    .startColor = {0.7f, 0.8f, 1, 1},
    .endColor = {0.7f, 0.8f, 1, 0.5f},
};
}  // namespace

RefPtr<CCParticleRain> CCParticleRain::node() { return made<CCParticleRain>(); }

const CCParticlePresetParameters& CCParticleRain::parameters() const { return kParameters; }
