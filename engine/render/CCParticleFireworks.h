#pragma once

#include "engine/render/CCParticlePreset.h"

// Sparks thrown up from the window's centre that fall back under gravity.
class CCParticleFireworks : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleFireworks> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
