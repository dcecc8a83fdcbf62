#pragma once

#include "engine/render/CCParticlePreset.h"

// Petals of many colours curling round the window's centre, blended additively.
class CCParticleFlower : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleFlower> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
