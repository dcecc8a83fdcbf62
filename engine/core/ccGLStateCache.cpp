#include "engine/core/ccGLStateCache.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/core/CCGLProgram.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/Log.h"

namespace {

// No program, texture, unit or blend factor has this value, so a field holding it ("unknown")
// always differs from what is asked next and the call reaches GL.
constexpr GLuint kUnknown = 0xFFFFFFFF;

constexpr std::array<GLuint, kCCMaxActiveTexture> unknownTextures() {
    std::array<GLuint, kCCMaxActiveTexture> slots{};
    slots.fill(kUnknown);
    return slots;
}

// The three attribute arrays in flag-bit order: bit 1 << i is attribute index i.
constexpr GLuint kAttribCount = 3;

// All of it constant-initialised, so the record is valid before any static initialiser runs.
GLuint currentProgram = kUnknown;
GLenum blendingSource = kUnknown;
GLenum blendingDest = kUnknown;
GLuint activeTextureUnit = kUnknown;
std::array<GLuint, kCCMaxActiveTexture> boundTextures = unknownTextures();
GLuint boundVertexArray = 0;  // a fresh context has none bound
GLuint enabledAttribs = 0;    // flag bits of the enabled arrays, valid where knownAttribs is set
GLuint knownAttribs = kCCVertexAttribFlag_PosColorTex;  // a fresh context has all three off

// The address `offset` bytes after `first`, worked out on integers: with `first` null it is the
// offset itself, which GL reads as a position in the bound buffer.
const void* fieldAt(const void* first, size_t offset) {
    return reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(first) + offset);
}

template <typename Vertex>
ccVertexAttribArrays interleaved(const Vertex* first, GLint positionSize) {
    return {.position = fieldAt(first, offsetof(Vertex, vertices)),
            .positionSize = positionSize,
            .texCoords = fieldAt(first, offsetof(Vertex, texCoords)),
            .color = fieldAt(first, offsetof(Vertex, colors)),
            .colorType = GL_UNSIGNED_BYTE,
            .stride = sizeof(Vertex)};
}

// Points the arrays whose flag bit is set.
void pointAttribArrays(const ccVertexAttribArrays& arrays, GLuint flags) {
    if (flags & kCCVertexAttribFlag_Position) {
        glVertexAttribPointer(kCCVertexAttrib_Position, arrays.positionSize, GL_FLOAT, GL_FALSE, arrays.stride,
                              arrays.position);
    }
    if (flags & kCCVertexAttribFlag_TexCoords) {
        glVertexAttribPointer(kCCVertexAttrib_TexCoords, 2, GL_FLOAT, GL_FALSE, arrays.stride, arrays.texCoords);
    }
    if (flags & kCCVertexAttribFlag_Color) {
        // Bytes are normalised to 0-1; floats are taken as they are.
        const GLboolean normalise = arrays.colorType == GL_UNSIGNED_BYTE ? GL_TRUE : GL_FALSE;
        glVertexAttribPointer(kCCVertexAttrib_Color, 4, arrays.colorType, normalise, arrays.stride, arrays.color);
    }
}

}  // namespace

GLenum ccCheckGLErrorAt(const char* function, int line) {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) logLine("OpenGL error 0x%04X in %s %d", error, function, line);
    return error;
}

void ccGLInvalidateStateCache() {
    kmGLFreeStacks();
    currentProgram = kUnknown;
    blendingSource = kUnknown;
    blendingDest = kUnknown;
    activeTextureUnit = kUnknown;
    boundTextures = unknownTextures();
    // The context may go on or be replaced by a new one whose object names start again, so the
    // vertex array object and the attribute arrays are not known either.
    boundVertexArray = kUnknown;
    knownAttribs = 0;
}

void ccGLUseProgram(GLuint program) {
    if (program == currentProgram) return;
    currentProgram = program;
    glUseProgram(program);
}

void ccGLDeleteProgram(GLuint program) {
    if (program == currentProgram) currentProgram = kUnknown;
    glDeleteProgram(program);
}

void ccGLSetBlendFunc(GLenum sfactor, GLenum dfactor) {
    if (sfactor == blendingSource && dfactor == blendingDest) return;
    blendingSource = sfactor;
    blendingDest = dfactor;
    ccGLApplyBlending(sfactor, dfactor);
}

void ccGLApplyBlending(GLenum sfactor, GLenum dfactor) {
    if (sfactor == GL_ONE && dfactor == GL_ZERO) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(sfactor, dfactor);
    }
}

void ccGLReapplyBlending() {
    glBlendEquation(GL_FUNC_ADD);
    ccGLApplyBlending(blendingSource, blendingDest);
}

void ccGLBindTexture(GLuint name) { ccGLBindTextureOnUnit(0, name); }

void ccGLBindTextureOnUnit(GLuint unit, GLuint name) {
    if (unit >= kCCMaxActiveTexture) {
        logLine("Lumora: texture unit %u is not one of the %u the engine binds on", unit, kCCMaxActiveTexture);
        return;
    }
    if (unit != activeTextureUnit) {
        activeTextureUnit = unit;
        glActiveTexture(GL_TEXTURE0 + unit);
    }
    if (boundTextures[unit] == name) return;
    boundTextures[unit] = name;
    glBindTexture(GL_TEXTURE_2D, name);
}

void ccGLDeleteTexture(GLuint name) {
    for (GLuint& slot : boundTextures) {
        if (slot == name) slot = kUnknown;
    }
    glDeleteTextures(1, &name);
}

void ccGLBindVertexArray(GLuint vao) {
    if (vao == boundVertexArray) return;
    boundVertexArray = vao;
    glBindVertexArray(vao);
}

void ccGLDeleteVertexArray(GLuint vao) {
    if (vao == boundVertexArray) boundVertexArray = 0;
    glDeleteVertexArrays(1, &vao);
}

void ccGLSetVertexAttribs(GLuint flags) {
    ccGLBindVertexArray(0);
    for (GLuint index = 0; index < kAttribCount; ++index) {
        const GLuint bit = 1u << index;
        const GLuint wanted = flags & bit;
        if ((knownAttribs & bit) && (enabledAttribs & bit) == wanted) continue;
        knownAttribs |= bit;
        enabledAttribs = (enabledAttribs & ~bit) | wanted;
        if (wanted) {
            glEnableVertexAttribArray(index);
        } else {
            glDisableVertexAttribArray(index);
        }
    }
}

void ccGLApplyServerState(int) {}

void ccGLProjectionChanged() {}

void ccGLUseProgramWithBuiltins(CCGLProgram& program) {
    program.use();
    program.setUniformsForBuiltins();
}

void ccGLPrepareNodeDraw(int serverState, CCGLProgram& program, ccBlendFunc blend) {
    ccGLApplyServerState(serverState);
    ccGLUseProgramWithBuiltins(program);
    ccGLSetBlendFunc(blend.src, blend.dst);
}

ccVertexAttribArrays ccInterleavedAttribArrays(const ccV3F_C4B_T2F* first) { return interleaved(first, 3); }

ccVertexAttribArrays ccInterleavedAttribArrays(const ccV2F_C4B_T2F* first) { return interleaved(first, 2); }

void ccGLSetVertexAttribArrays(const ccVertexAttribArrays& arrays) {
    const GLuint flags = (arrays.position ? kCCVertexAttribFlag_Position : 0) |
                         (arrays.color ? kCCVertexAttribFlag_Color : 0) |
                         (arrays.texCoords ? kCCVertexAttribFlag_TexCoords : 0);
    ccGLSetVertexAttribs(flags);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    pointAttribArrays(arrays, flags);
}

void ccGLSetBufferAttribArrays(const ccVertexAttribArrays& arrays, GLuint flags) {
    // Offset 0 is a place in the buffer like any other, so the flags, not the pointers, say which
    // arrays are read.
    for (GLuint index = 0; index < kAttribCount; ++index) {
        if (flags & (1u << index)) glEnableVertexAttribArray(index);
    }
    pointAttribArrays(arrays, flags);
}
