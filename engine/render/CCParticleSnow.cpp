#include "engine/render/CCParticleSnow.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 700,
    .duration = -1,
    .gravity = {0, -1},
    .speed = 5,
    .speedVar = 1,
    .radialAccelVar = 1,
    .tangentialAccelVar = 1,
    .angle = -90,
    .angleVar = 5,
    .heightFraction = 1,
    .heightOffset = 10,
    .posVarWidthFraction = 0.5,
    .life = 45,
    .lifeVar = 15,
    .startSize = 10,
    .startSizeVar = 5,
    .fixedRate = 10,
    .startColor = {1, 1, 1, 1},
    .endColor = {1, 1, 1, 0},
};
}  // namespace

RefPtr<CCParticleSnow> CCParticleSnow::node() { return made<CCParticleSnow>(); }

const CCParticlePresetParameters& CCParticleSnow::parameters() const { return kParameters; }
