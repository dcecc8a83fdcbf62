#pragma once

#include "engine/render/CCParticlePreset.h"

// A glowing ball at the window's centre, blended additively without opacityModifyRGB.
class CCParticleSun : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleSun> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
