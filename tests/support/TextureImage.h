#pragma once

// Reading a texture level back from GL, for tests that check what an upload stored.

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "engine/core/ccGLStateCache.h"

// `bytes` bytes of level `level` of the 2D texture, rows packed, in the given format and type.
inline std::vector<uint8_t> readTextureImage(GLuint name, GLint level, GLenum format, GLenum type, size_t bytes) {
    ccGLBindTexture(name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> pixels(bytes);
    glGetTexImage(GL_TEXTURE_2D, level, format, type, pixels.data());
    return pixels;
}

// One parameter of the named texture.
inline GLint textureParameter(GLuint name, GLenum parameter) {
    ccGLBindTexture(name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}
