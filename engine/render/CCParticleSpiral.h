#pragma once

#include "engine/render/CCParticlePreset.h"

// Grey particles spiralling into the window's centre.
class CCParticleSpiral : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleSpiral> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
