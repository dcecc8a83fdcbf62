#pragma once

#include <cstdint>

// The program's one source of pseudo-random numbers, in place of the C library's random() and
// arc4random(), so that a run started from a given seed repeats itself exactly (tests, replays).
// Unseeded, it starts from a seed taken from the system's entropy at first use.
//
// The game's formulas keep their shape: a uniform real in [0, 1) is random() x 2^-31 in single
// precision (unitFloat), a pick among n is arc4random() modulo n.
//
// Engine thread only: the generator has one process-wide state and no lock.
class Random {
public:
    // Restarts the sequence; the same seed gives the same sequence.
    static void seed(uint64_t seed);
    // 0 to 2^31 - 1, uniformly.
    static int32_t random();
    // 0 to 2^32 - 1, uniformly.
    static uint32_t arc4random();
    // random() x 2^-31 in single precision: [0, 1], where 1 comes only from the top 64 values of
    // random(), which round up to 2^31.
    static float unitFloat() { return static_cast<float>(random()) * 4.656613e-10f; }
};
