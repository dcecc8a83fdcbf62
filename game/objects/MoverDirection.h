#pragma once

#include <cmath>
#include <cstdint>

#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

// The sense a mover's data gives its signed rate (a path's speed, an orbit's rate): a positive
// direction runs forward, a negative one backward, 0 tosses a coin and makes the mover turn at
// random later (useRandomDirection); no direction keeps the rate's own sign. True for the coin.
inline bool applyDirection(const Value& direction, float* rate) {
    if (direction.isNone()) return false;
    const int32_t d = direction.intValue();
    if (d > 0) {
        *rate = std::fabs(*rate);
    } else if (d < 0) {
        *rate = -std::fabs(*rate);
    } else {
        if (Random::unitFloat() <= 0.5f) *rate = -*rate;
        return true;
    }
    return false;
}

}  // namespace game
