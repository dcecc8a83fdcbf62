#include "engine/core/support/ccBase64.h"

#include <array>
#include <cstdlib>

#include "platform/foundation/Log.h"

namespace {
constexpr int8_t kNotInAlphabet = -1;

// Value 0-63 of each byte in the alphabet, kNotInAlphabet for every other byte. A constant, so
// decoding from several threads shares nothing writable.
constexpr std::array<int8_t, 256> kDecodeTable = [] {
    constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::array<int8_t, 256> table{};
    table.fill(kNotInAlphabet);
    for (int8_t value = 0; value < 64; ++value) table[static_cast<unsigned char>(alphabet[value])] = value;
    return table;
}();
}  // namespace

int32_t base64DecodeInto(const unsigned char* in, uint32_t inLength, unsigned char* out, uint32_t* outLength) {
    uint32_t written = 0;
    uint32_t group = 0;    // bits of the pending characters, 6 per character
    int pending = 0;       // characters of the current group, 0-3
    int32_t result = 0;
    for (uint32_t i = 0; i < inLength; ++i) {
        if (in[i] == '=') {
            if (pending == 3) {
                out[written++] = static_cast<unsigned char>(group >> 10);
                out[written++] = static_cast<unsigned char>(group >> 2);
            } else if (pending == 2) {
                out[written++] = static_cast<unsigned char>(group >> 4);
            } else if (pending == 1) {
                logLine("base64Decode: encoding incomplete: at least 2 bits missing");
                result = 1;
            }
            break;
        }
        const int8_t value = kDecodeTable[in[i]];
        if (value == kNotInAlphabet) continue;
        group = (group << 6) | static_cast<uint32_t>(value);
        if (++pending == 4) {
            out[written++] = static_cast<unsigned char>(group >> 16);
            out[written++] = static_cast<unsigned char>(group >> 8);
            out[written++] = static_cast<unsigned char>(group);
            group = 0;
            pending = 0;
        }
    }
    *outLength = written;
    return result;
}

uint32_t base64DecodeAlloc(const unsigned char* in, uint32_t inLength, unsigned char** out) {
    // Every 4 characters give at most 3 bytes; the extra byte keeps the allocation non-empty.
    const uint64_t capacity = uint64_t{inLength} * 3 / 4 + 1;
    *out = static_cast<unsigned char*>(std::malloc(capacity));
    if (!*out) return 0;
    uint32_t length = 0;
    if (base64DecodeInto(in, inLength, *out, &length) != 0) {
        logLine("Base64Utils: error decoding");
        std::free(*out);
        *out = nullptr;
        return 0;
    }
    return length;
}
