#pragma once

#include <cmath>
#include <cstdint>

// Arithmetic shared by the property actions.

// The change from `from` to `to` (degrees), brought once by a whole turn into -180..180 so that
// the action takes the short way round; differences beyond ±540 stay partly unfolded.
inline float ccShortestTurn(float from, float to) {
    float diff = to - from;
    if (diff > 180) diff -= 360;
    if (diff < -180) diff += 360;
    return diff;
}

// A computed opacity or colour channel as a byte: truncated toward zero, then held within 0..255
// so that an easing curve that overshoots (back, elastic) cannot wrap the value around.
inline uint8_t ccByteClamped(float value) {
    const float truncated = std::trunc(value);
    if (!(truncated > 0)) return 0;  // also NaN
    return truncated < 255 ? static_cast<uint8_t>(truncated) : 255;
}

// A computed colour channel as a byte: truncated toward zero, then its low 8 bits, so that a
// channel pushed past 0..255 wraps round.
inline uint8_t ccByteWrapped(float value) {
    return static_cast<uint8_t>(static_cast<int64_t>(value));
}
