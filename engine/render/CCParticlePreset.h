#pragma once

#include <cstdint>

#include "engine/render/CCParticleSystemQuad.h"

// What a ready-made effect sets, in gravity mode. Lengths in points, angles in degrees, times in
// seconds, colours 0-1. Positions depend on the window size W x H at construction.
struct CCParticlePresetParameters {
    uint64_t count = 0;  // particles made by init()
    float duration = 0;
    CGPoint gravity{};
    float speed = 0, speedVar = 0;
    float radialAccel = 0, radialAccelVar = 0;
    float tangentialAccel = 0, tangentialAccelVar = 0;
    float angle = 0, angleVar = 0;
    // Node position (W / 2, H x heightFraction + heightOffset).
    double heightFraction = 0, heightOffset = 0;
    // posVar (W x posVarWidthFraction + posVar.x, posVar.y).
    double posVarWidthFraction = 0;
    CGPoint posVar{};
    float life = 0, lifeVar = 0;
    float startSize = 0, startSizeVar = 0;
    // Particles per second; 0: the count over the life, or over the duration with ratePerDuration.
    float fixedRate = 0;
    bool ratePerDuration = false;
    ccColor4F startColor{}, startColorVar{}, endColor{}, endColorVar{};
    bool additive = false;
    // setBlendAdditive before the texture rather than after, so that a premultiplied texture does
    // not turn opacityModifyRGB on.
    bool additiveBeforeTexture = false;
};

// The base of the ready-made effects: a quad system that configures itself from its class's
// parameters, with the texture "fire.png" from the shared texture cache. Every particle keeps its
// start size (endSize -1).
class CCParticlePreset : public CCParticleSystemQuad {
public:
    // initWithTotalParticles with the class's count.
    bool init() override;
    // The quad system of n particles, then the parameters.
    bool initWithTotalParticles(uint64_t numberOfParticles) override;

protected:
    // A new T through init(); null when that fails.
    template <class T>
    static RefPtr<T> made() {
        auto system = makeRef<T>();
        return system->init() ? system : nullptr;
    }

    virtual const CCParticlePresetParameters& parameters() const = 0;
};
