#include "game/core/RestartableParticleSystem.h"

void RestartableParticleSystem::resetSystemWithoutKillingParticles() {
    active_ = true;
    elapsed_ = 0;
}

void RestartableParticleSystem::resetSystemFullyWithoutKillingParticles() {
    resetSystemWithoutKillingParticles();
    emitCounter_ = 0;
}

void RestartableParticleSystem::resetSystemAndStop() {
    resetSystem();
    active_ = false;
}
