#include "game/core/ParticlePool.h"

ParticlePool ParticlePool::withDictionary(const Value& dictionary, int tag) {
    ParticlePool pool;
    for (RefPtr<RestartableParticleSystem>& system : pool.systems_) {
        system = makeRef<RestartableParticleSystem>();
        if (!system->initWithDictionary(dictionary)) {
            pool.cleanup();
            return {};
        }
        system->resetSystemAndStop();
        system->setPositionType(CCParticleSystem::kCCPositionTypeRelative);
        system->setTag(tag);
    }
    return pool;
}

void ParticlePool::release(CCParticleSystem* stream) {
    if (!stream) return;
    stream->stopSystem();
    stream->setUserData(nullptr);
}

RestartableParticleSystem* ParticlePool::next() {
    if (empty()) return nullptr;
    index_ = (index_ + 1) % kSize;
    return systems_[index_].get();
}

RestartableParticleSystem* ParticlePool::nextFree() {
    RestartableParticleSystem* inTurn = next();
    if (!inTurn || !inTurn->userData()) return inTurn;
    for (size_t i = 0; i < kSize; ++i) {
        if (!systems_[i]->userData()) {
            index_ = i;
            return systems_[i].get();
        }
    }
    return inTurn;
}

void ParticlePool::cleanup() {
    for (const RefPtr<RestartableParticleSystem>& system : systems_) {
        if (system) system->cleanup();
    }
}
