#pragma once

// PVR texture files built byte by byte for the tests (both header versions, every uncompressed
// layout, any level count), and textures read back from GL.

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"

struct PVRLayout {
    const char* name;
    uint32_t v2Type;         // low byte of the v2 flags
    uint64_t v3PixelFormat;  // little-endian at byte 8 of a v3 header
    uint32_t bitsPerPixel;
    bool alpha;  // the layout carries alpha (v3 reports it)
    CCTexture2DPixelFormat format;
    GLenum glFormat, glType;  // how GL hands the pixels back
};

// In the order the reader searches them; BGRA8888 first.
inline const PVRLayout kPVRLayouts[] = {
    {"bgra8888", 0x1A, 0x0808080861726762, 32, true, kCCTexture2DPixelFormat_RGBA8888, GL_BGRA, GL_UNSIGNED_BYTE},
    {"rgba8888", 0x12, 0x0808080861626772, 32, true, kCCTexture2DPixelFormat_RGBA8888, GL_RGBA, GL_UNSIGNED_BYTE},
    {"rgba4444", 0x10, 0x0404040461626772, 16, true, kCCTexture2DPixelFormat_RGBA4444, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4},
    {"rgba5551", 0x11, 0x0105050561626772, 16, true, kCCTexture2DPixelFormat_RGB5A1, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1},
    {"rgb565", 0x13, 0x0005060500626772, 16, false, kCCTexture2DPixelFormat_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5},
    {"rgb888", 0x15, 0x0008080800626772, 24, false, kCCTexture2DPixelFormat_RGB888, GL_RGB, GL_UNSIGNED_BYTE},
    {"a8", 0x1B, 0x0000000800000061, 8, false, kCCTexture2DPixelFormat_A8, GL_ALPHA, GL_UNSIGNED_BYTE},
    {"l8", 0x16, 0x000000080000006C, 8, false, kCCTexture2DPixelFormat_I8, GL_LUMINANCE, GL_UNSIGNED_BYTE},
    {"la88", 0x17, 0x000008080000616C, 16, true, kCCTexture2DPixelFormat_AI88, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE},
};

// Bytes of the first `levels` levels of the chain that starts at width x height; each level is
// stored as at least 2 pixels each way.
inline uint64_t pvrChainBytes(const PVRLayout& layout, uint32_t width, uint32_t height, uint32_t levels) {
    uint64_t total = 0;
    for (uint32_t level = 0; level < levels; ++level) {
        total += uint64_t{std::max(width >> level, 2u)} * std::max(height >> level, 2u) * (layout.bitsPerPixel / 8);
    }
    return total;
}

// Bytes no two neighbours of which are equal, for telling pixels apart.
inline std::vector<unsigned char> pvrPixels(uint64_t count) {
    std::vector<unsigned char> pixels(count);
    for (uint64_t i = 0; i < count; ++i) pixels[i] = static_cast<unsigned char>(i * 37 + 11);
    return pixels;
}

// A 52-byte header with the given little-endian 32-bit words at their offsets, then `payload`.
inline std::vector<unsigned char> pvrFile(std::initializer_list<std::pair<size_t, uint32_t>> words,
                                          const std::vector<unsigned char>& payload) {
    std::vector<unsigned char> bytes(52);
    for (const auto& [offset, value] : words) {
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

// A v2 file whose data length is the size of `data`, flagged mipmapped above the type byte.
inline std::vector<unsigned char> makePVRv2(const PVRLayout& layout, uint32_t width, uint32_t height,
                                            const std::vector<unsigned char>& data, uint32_t alphaMask) {
    return pvrFile({{0, 52}, {4, height}, {8, width}, {16, 0x8000 | layout.v2Type}, {20, uint32_t(data.size())},
                    {24, layout.bitsPerPixel}, {40, alphaMask}, {44, 0x21525650}, {48, 1}},
                   data);
}

// A v3 file whose `payload` starts with `metadataLength` bytes of metadata.
inline std::vector<unsigned char> makePVRv3(const PVRLayout& layout, uint32_t width, uint32_t height, uint32_t levels,
                                            const std::vector<unsigned char>& payload, uint32_t metadataLength) {
    return pvrFile({{0, 0x03525650}, {8, uint32_t(layout.v3PixelFormat)}, {12, uint32_t(layout.v3PixelFormat >> 32)},
                    {24, height}, {28, width}, {32, 1}, {36, 1}, {40, 1}, {44, levels}, {48, metadataLength}},
                   payload);
}

// `bytes` bytes of level `level` of the 2D texture, rows packed, in the given format and type.
inline std::vector<uint8_t> readTextureImage(GLuint name, GLint level, GLenum format, GLenum type, size_t bytes) {
    ccGLBindTexture(name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> pixels(bytes);
    glGetTexImage(GL_TEXTURE_2D, level, format, type, pixels.data());
    return pixels;
}
