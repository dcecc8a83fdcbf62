#pragma once

#include <cstdint>

// Plain records shared by the whole engine. Vertex and texture coordinates are single precision;
// colours are bytes 0-255 (3B, 4B) or floats 0-1 (4F).

struct ccColor3B {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const ccColor3B&, const ccColor3B&) = default;
};

struct ccColor4B {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const ccColor4B&, const ccColor4B&) = default;
};

struct ccColor4F {
    float r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const ccColor4F&, const ccColor4F&) = default;
};

struct ccVertex2F {
    float x = 0, y = 0;
    friend bool operator==(const ccVertex2F&, const ccVertex2F&) = default;
};

struct ccVertex3F {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const ccVertex3F&, const ccVertex3F&) = default;
};

struct ccTex2F {
    float u = 0, v = 0;
    friend bool operator==(const ccTex2F&, const ccTex2F&) = default;
};

// One vertex of a textured, coloured quad: 24 bytes, laid out as the GL attribute arrays read it.
struct ccV3F_C4B_T2F {
    ccVertex3F vertices;
    ccColor4B colors;
    ccTex2F texCoords;
};

// The four corners of a quad in the order the atlas stores them.
struct ccV3F_C4B_T2F_Quad {
    ccV3F_C4B_T2F tl;
    ccV3F_C4B_T2F bl;
    ccV3F_C4B_T2F tr;
    ccV3F_C4B_T2F br;
};

// A 2D vertex with colour and texture coordinates: 20 bytes.
struct ccV2F_C4B_T2F {
    ccVertex2F vertices;
    ccColor4B colors;
    ccTex2F texCoords;
};

// Source and destination blend factors (GL enums); (GL_ONE, GL_ZERO) means blending off.
struct ccBlendFunc {
    uint32_t src = 0;
    uint32_t dst = 0;
    friend bool operator==(const ccBlendFunc&, const ccBlendFunc&) = default;
};

// Minification and magnification filters and the wrap modes of a texture (GL enums).
struct ccTexParams {
    uint32_t minFilter = 0;
    uint32_t magFilter = 0;
    uint32_t wrapS = 0;
    uint32_t wrapT = 0;
};

// A ccColor4B from a ccColor4F: each component times 255, truncated.
inline ccColor4B ccc4BFromccc4F(const ccColor4F& c) {
    return {static_cast<uint8_t>(c.r * 255), static_cast<uint8_t>(c.g * 255), static_cast<uint8_t>(c.b * 255),
            static_cast<uint8_t>(c.a * 255)};
}

static_assert(sizeof(ccV3F_C4B_T2F) == 24 && sizeof(ccV3F_C4B_T2F_Quad) == 96 && sizeof(ccV2F_C4B_T2F) == 20);
