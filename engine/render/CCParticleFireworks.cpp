#include "engine/render/CCParticleFireworks.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 1500,
    .duration = -1,
    .gravity = {0, -90},
    .speed = 180,
    .speedVar = 50,
    .angle = 90,
    .angleVar = 20,
    .heightFraction = 0.5,
    .life = 3.5f,
    .lifeVar = 1,
    .startSize = 8,
    .startSizeVar = 2,
    .startColor = {0.5f, 0.5f, 0.5f, 1},
    .startColorVar = {0.5f, 0.5f, 0.5f, 0.1f},
    .endColor = {0.1f, 0.1f, 0.1f, 0.2f},
    .endColorVar = {0.1f, 0.1f, 0.1f, 0.2f},
};
}  // namespace

RefPtr<CCParticleFireworks> CCParticleFireworks::node() { return made<CCParticleFireworks>(); }

const CCParticlePresetParameters& CCParticleFireworks::parameters() const { return kParameters; }
