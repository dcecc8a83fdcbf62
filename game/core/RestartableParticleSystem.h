#pragma once

#include "engine/render/CCParticleSystemQuad.h"

// A quad particle system that the game's reusable emitters can restart without clearing the
// particles still in flight, or stop with none left. Made and configured like any
// CCParticleSystemQuad (makeRef, then initWithDictionary or initWithTotalParticles).
//
// Engine thread only.
class RestartableParticleSystem : public CCParticleSystemQuad {
public:
    RestartableParticleSystem() = default;

    // Emitting again from elapsed 0; the particles alive keep their remaining lives.
    void resetSystemWithoutKillingParticles();
    // The same, and the emission not yet turned into particles starts from 0.
    void resetSystemFullyWithoutKillingParticles();
    // Every particle ends at the next update and nothing is emitted.
    void resetSystemAndStop();

protected:
    ~RestartableParticleSystem() override = default;
};
