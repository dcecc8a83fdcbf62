#pragma once

#include "engine/render/CCParticlePreset.h"

// A blue ball whose tail streams up and to the left, blended additively.
class CCParticleMeteor : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleMeteor> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
