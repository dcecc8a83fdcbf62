#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/foundation/Value.h"

// Numbers read from saved progress and from the level catalogue, which a person may have edited:
// anything that is not an integer or a real reads 0, and values are brought into the type's range.

// Negative numbers read 0; values above 2^32 - 1 read 2^32 - 1.
inline uint32_t progressUnsigned(const Value& value) {
    if (!value.isInteger() && !value.isReal()) return 0;
    if (value.isUnsignedInteger()) return UINT32_MAX;
    const double number = value.isReal() ? value.doubleValue() : static_cast<double>(value.integerValue());
    if (!(number > 0)) return 0;
    return number >= UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(number);
}

// Saturates at the limits of int32_t; NaN reads 0.
inline int32_t progressInt(const Value& value) {
    if (!value.isInteger() && !value.isReal()) return 0;
    return value.intValue();
}

// Infinities and NaN read 0.
inline float progressFloat(const Value& value) {
    if (!value.isInteger() && !value.isReal()) return 0;
    const float number = value.floatValue();
    return std::isfinite(number) ? number : 0.0f;
}
