#include "engine/render/CCParticleSmoke.h"

namespace {
constexpr CCParticlePresetParameters kParameters{
    .count = 200,
    .duration = -1,
    .speed = 25,
    .speedVar = 10,
    .angle = 90,
    .angleVar = 5,
    .posVar = {20, 0},
    .life = 4,
    .lifeVar = 1,
    .startSize = 60,
    .startSizeVar = 10,
    .startColor = {0.8f, 0.8f, 0.8f, 1},
    .startColorVar = {0.02f, 0.02f, 0.02f, 0},
    .endColor = {0, 0, 0, 1},
};
}  // namespace

RefPtr<CCParticleSmoke> CCParticleSmoke::node() { return made<CCParticleSmoke>(); }

const CCParticlePresetParameters& CCParticleSmoke::parameters() const { return kParameters; }
