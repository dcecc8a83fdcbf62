#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/ccTypes.h"

// The random sequence of the grid effects: one generator for the engine thread, separate from the
// C library's, so that a seeded shuffle repeats its pattern whatever else draws random numbers.

// Restarts the sequence; one seed always gives the same sequence.
void ccGridSeed(uint32_t seed);
// The next number of the sequence, 1 .. 2^31 - 2.
int32_t ccGridRandom();
// A shake offset in -range .. range - 1, points; 0 for a range below 1.
int32_t ccGridOffset(int32_t range);
// The numbers 0 .. count - 1 in a random order: for i from the last element down to the first,
// element i is swapped with element (next number % (i + 1)). The sequence is restarted from the
// seed first, unless the seed is -1.
void ccGridShuffledOrder(int32_t seed, size_t count, std::vector<int32_t>* order);
// Adds a shake offset to the x of every vertex, then to the y of every one, then, with `shakeZ`,
// to the z of every one, each offset a new draw.
void ccGridShake(ccVertex3F* const* vertices, size_t count, int32_t range, bool shakeZ);
