#pragma once

#include "engine/render/CCParticlePreset.h"

// One burst: the whole pool emitted within its 0.1 s, then nothing more.
class CCParticleExplosion : public CCParticlePreset {
public:
    // A new system of the preset's count; null when it cannot be made.
    static RefPtr<CCParticleExplosion> node();

protected:
    const CCParticlePresetParameters& parameters() const override;
};
