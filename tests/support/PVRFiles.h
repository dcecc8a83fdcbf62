#pragma once

// PVR texture files built byte by byte for the tests: both header versions, every uncompressed
// layout, any level count.

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/core/CCTexture2D.h"

struct PVRLayout {
    const char* name;
    uint32_t v2Type;         // low byte of the v2 flags
    uint64_t v3PixelFormat;  // little-endian at byte 8 of a v3 header
    uint32_t bitsPerPixel;
    bool alpha;              // the layout carries alpha (v3 reports it)
    CCTexture2DPixelFormat format;
    GLenum glFormat;         // how GL hands the pixels back
    GLenum glType;
};

// In the order the reader searches them; BGRA8888 first.
inline const PVRLayout kPVRLayouts[] = {
    {"bgra8888", 0x1A, 0x0808080861726762, 32, true, kCCTexture2DPixelFormat_RGBA8888, GL_BGRA, GL_UNSIGNED_BYTE},
    {"rgba8888", 0x12, 0x0808080861626772, 32, true, kCCTexture2DPixelFormat_RGBA8888, GL_RGBA, GL_UNSIGNED_BYTE},
    {"rgba4444", 0x10, 0x0404040461626772, 16, true, kCCTexture2DPixelFormat_RGBA4444, GL_RGBA,
     GL_UNSIGNED_SHORT_4_4_4_4},
    {"rgba5551", 0x11, 0x0105050561626772, 16, true, kCCTexture2DPixelFormat_RGB5A1, GL_RGBA,
     GL_UNSIGNED_SHORT_5_5_5_1},
    {"rgb565", 0x13, 0x0005060500626772, 16, false, kCCTexture2DPixelFormat_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5},
    {"rgb888", 0x15, 0x0008080800626772, 24, false, kCCTexture2DPixelFormat_RGB888, GL_RGB, GL_UNSIGNED_BYTE},
    {"a8", 0x1B, 0x0000000800000061, 8, false, kCCTexture2DPixelFormat_A8, GL_ALPHA, GL_UNSIGNED_BYTE},
    {"l8", 0x16, 0x000000080000006C, 8, false, kCCTexture2DPixelFormat_I8, GL_LUMINANCE, GL_UNSIGNED_BYTE},
    {"la88", 0x17, 0x000008080000616C, 16, true, kCCTexture2DPixelFormat_AI88, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE},
};

// Bytes of one level as the file stores it: at least 2 pixels each way.
inline uint64_t pvrLevelBytes(const PVRLayout& layout, uint32_t width, uint32_t height) {
    return uint64_t{std::max(width, 2u)} * std::max(height, 2u) * (layout.bitsPerPixel / 8);
}

// Bytes of the first `levels` levels of the chain that starts at width x height.
inline uint64_t pvrChainBytes(const PVRLayout& layout, uint32_t width, uint32_t height, uint32_t levels) {
    uint64_t total = 0;
    for (uint32_t level = 0; level < levels; ++level) {
        total += pvrLevelBytes(layout, width, height);
        width = std::max(width / 2, 1u);
        height = std::max(height / 2, 1u);
    }
    return total;
}

// Bytes no two neighbours of which are equal, for telling pixels apart.
inline std::vector<unsigned char> pvrPixels(uint64_t count) {
    std::vector<unsigned char> pixels(count);
    for (uint64_t i = 0; i < count; ++i) pixels[i] = static_cast<unsigned char>(i * 37 + 11);
    return pixels;
}

inline void putLE32(std::vector<unsigned char>* bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A v2 file: the 52-byte header, its data length the size of `data`, then `data`.
inline std::vector<unsigned char> makePVRv2(const PVRLayout& layout, uint32_t width, uint32_t height,
                                            const std::vector<unsigned char>& data, uint32_t alphaMask) {
    std::vector<unsigned char> bytes(52 + data.size());
    std::copy(data.begin(), data.end(), bytes.begin() + 52);
    putLE32(&bytes, 0, 52);
    putLE32(&bytes, 4, height);
    putLE32(&bytes, 8, width);
    putLE32(&bytes, 16, 0x00008000 | layout.v2Type);  // a mipmapped flag above the type byte
    putLE32(&bytes, 20, static_cast<uint32_t>(data.size()));
    putLE32(&bytes, 24, layout.bitsPerPixel);
    putLE32(&bytes, 40, alphaMask);
    putLE32(&bytes, 44, 0x21525650);
    putLE32(&bytes, 48, 1);
    return bytes;
}

// A v3 file: the 52-byte header, then `payload`, whose first `metadataLength` bytes are metadata.
inline std::vector<unsigned char> makePVRv3(const PVRLayout& layout, uint32_t width, uint32_t height, uint32_t levels,
                                            const std::vector<unsigned char>& payload, uint32_t metadataLength) {
    std::vector<unsigned char> bytes(52 + payload.size());
    std::copy(payload.begin(), payload.end(), bytes.begin() + 52);
    putLE32(&bytes, 0, 0x03525650);
    putLE32(&bytes, 8, static_cast<uint32_t>(layout.v3PixelFormat));
    putLE32(&bytes, 12, static_cast<uint32_t>(layout.v3PixelFormat >> 32));
    putLE32(&bytes, 24, height);
    putLE32(&bytes, 28, width);
    putLE32(&bytes, 32, 1);
    putLE32(&bytes, 36, 1);
    putLE32(&bytes, 40, 1);
    putLE32(&bytes, 44, levels);
    putLE32(&bytes, 48, metadataLength);
    return bytes;
}
