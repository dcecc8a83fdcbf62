#pragma once

#include "engine/render/CCParticlePreset.h"

// Flames rising from a strip at the bottom of the window, blended additively.
class CCParticleFire : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleFire> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
