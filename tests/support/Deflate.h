#pragma once

// Compressed data made for the tests: zlib and gzip streams, and the CCZ file header.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>

inline constexpr int kZlib = 15, kGZip = 15 + 16;  // deflate's window bits for each wrapper

inline std::string deflated(int windowBits, const std::string& data, int level = Z_BEST_COMPRESSION) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// "CCZ!", then big-endian: 16-bit compression type and version, 4 reserved bytes, 32-bit length.
inline std::string cczHeader(uint16_t compressionType, uint16_t version, uint32_t length) {
    std::string out = "CCZ!";
    const std::pair<uint32_t, int> fields[] = {{compressionType, 2}, {version, 2}, {0, 4}, {length, 4}};
    for (const auto& [value, bytes] : fields) {
        for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift);
    }
    return out;
}
