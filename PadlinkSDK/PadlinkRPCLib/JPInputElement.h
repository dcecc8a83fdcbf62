#pragma once

#include <cstdint>

#include "PadlinkSDK/PadlinkRPCLib/JPInputComponentTemplate.h"

// The bit bookkeeping of one input, as a plain record: numBits ones from bitOffset in the input
// word. The library itself works with JPInputComponentTemplate.
struct JPInputElement {
    // The fields as given.
    JPInputElement(int32_t inputType, int32_t inputIdentifier, uint32_t bitOffset, uint32_t numBits)
        : inputType(inputType), inputIdentifier(inputIdentifier), bitOffset(bitOffset), numBits(numBits) {}

    // jpInputFieldMask of the field, as for a component of a layout.
    uint64_t bitmask() const { return jpInputFieldMask(numBits, bitOffset); }

    // Type and identifier as for a component; the field's first bit and width.
    int32_t inputType;
    int32_t inputIdentifier;
    uint32_t bitOffset;
    uint32_t numBits;
};
