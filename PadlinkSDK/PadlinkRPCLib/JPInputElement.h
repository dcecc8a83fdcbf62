#pragma once

#include <cstdint>

// The bit bookkeeping of one input, as a plain record: numBits ones from bitOffset in the input
// word. The library itself works with JPInputComponentTemplate.
struct JPInputElement {
    // The fields as given.
    JPInputElement(int32_t inputType, int32_t inputIdentifier, uint32_t bitOffset, uint32_t numBits)
        : inputType(inputType), inputIdentifier(inputIdentifier), bitOffset(bitOffset), numBits(numBits) {}

    // numBits ones shifted left by bitOffset; 0 when the field does not fit in the 64-bit word.
    uint64_t bitmask() const {
        if (numBits == 0 || numBits > 64 || bitOffset > 64 - numBits) return 0;
        return (numBits == 64 ? ~uint64_t{0} : (uint64_t{1} << numBits) - 1) << bitOffset;
    }

    // Type and identifier as for a component; the field's first bit and width.
    int32_t inputType;
    int32_t inputIdentifier;
    uint32_t bitOffset;
    uint32_t numBits;
};
