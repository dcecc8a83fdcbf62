#include "platform/foundation/Random.h"

#include <random>

namespace {
// xoshiro256**: 256 bits of state, period 2^256 - 1, filled from the seed by splitmix64 so that
// any seed (0 included) gives a usable state.
struct State {
    uint64_t s[4];
    bool seeded = false;
};

State state;

uint64_t splitmix64(uint64_t* x) {
    uint64_t z = (*x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t next() {
    if (!state.seeded) {
        std::random_device entropy;
        Random::seed((uint64_t{entropy()} << 32) | entropy());
    }
    uint64_t* s = state.s;
    const uint64_t result = rotl(s[1] * 5, 7) * 9;
    const uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return result;
}
}  // namespace

void Random::seed(uint64_t seed) {
    for (uint64_t& word : state.s) word = splitmix64(&seed);
    state.seeded = true;
}

int32_t Random::random() { return static_cast<int32_t>(next() >> 33); }

uint32_t Random::arc4random() { return static_cast<uint32_t>(next() >> 32); }
