#pragma once

#include "engine/render/CCParticlePreset.h"

// Grey puffs rising slowly from the middle of the window's bottom edge.
class CCParticleSmoke : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleSmoke> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
