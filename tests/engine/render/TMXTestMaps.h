#pragma once

// Pieces of TMX documents for the tests and benchmarks of tile maps.

#include <cstdint>
#include <string>
#include <vector>

inline std::string base64(const std::string& bytes) {
    static const char* const kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = uint8_t(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= uint8_t(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= uint8_t(bytes[i + 2]);
        for (size_t c = 0; c < 4; ++c) out += i + c <= bytes.size() ? kAlphabet[(group >> (18 - 6 * c)) & 63] : '=';
    }
    return out;
}

// GIDs as the layer data stores them: 32-bit little-endian.
inline std::string littleEndian(const std::vector<uint32_t>& gids) {
    std::string bytes;
    for (uint32_t gid : gids) {
        for (int shift = 0; shift < 32; shift += 8) bytes += char(gid >> shift);
    }
    return bytes;
}
