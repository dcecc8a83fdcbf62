#pragma once

// `value` kept within [lower, upper]: upper when above it, else the larger of value and lower
// (so NaN gives lower). A range given backwards gives upper for values above it, else lower.
inline float jpClampFloat(float value, float lower, float upper) {
    if (value > upper) return upper;
    return value > lower ? value : lower;
}
