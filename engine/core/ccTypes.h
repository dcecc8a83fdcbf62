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
