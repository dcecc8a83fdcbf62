#pragma once

#include "engine/render/CCParticlePreset.h"

// A blue swirl pulled into the window's centre, blended additively.
class CCParticleGalaxy : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleGalaxy> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
