#pragma once

#include <array>
#include <cstddef>

#include "game/core/RestartableParticleSystem.h"
#include "platform/foundation/Object.h"

class CCParticleSystem;
class Value;

// Three identical particle systems made from one particle list while the level loads and used in
// turn, so that no system is made during play. A system used as a nectar stream names the flower
// or hive holding it in its userData (null: free); nextFree passes over held ones.
//
// Engine thread only.
class ParticlePool {
public:
    static constexpr size_t kSize = 3;

    // The systems of the particle list, stopped, positioned relative to their parent and tagged;
    // an empty pool (no system) when the list builds none.
    static ParticlePool withDictionary(const Value& dictionary, int tag);
    // A stream goes back to its pool: it stops emitting (the particles in flight finish their
    // lives) and names no holder. Nothing for null.
    static void release(CCParticleSystem* stream);

    bool empty() const { return !systems_[0]; }
    const std::array<RefPtr<RestartableParticleSystem>, kSize>& systems() const { return systems_; }

    // The next system in turn; null for an empty pool.
    RestartableParticleSystem* next();
    // The next system in turn unless it is held, else the first free one, which becomes the turn;
    // the one in turn when all are held. Null for an empty pool.
    RestartableParticleSystem* nextFree();
    // Every system stops its actions and scheduled updates (the level going).
    void cleanup();

private:
    std::array<RefPtr<RestartableParticleSystem>, kSize> systems_;
    size_t index_ = kSize;  // the last turn; the first system taken is the second
};
