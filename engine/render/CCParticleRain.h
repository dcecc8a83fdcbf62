#pragma once

#include "engine/render/CCParticlePreset.h"

// Drops falling slantwise from the window's top edge, across its whole width, 20 a second.
class CCParticleRain : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleRain> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
