#pragma once

#include "engine/render/CCParticlePreset.h"

// Flakes drifting down from just above the window, across its whole width, 10 a second.
class CCParticleSnow : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleSnow> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
