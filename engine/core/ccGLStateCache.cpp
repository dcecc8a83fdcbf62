#include "engine/core/ccGLStateCache.h"

#include "engine/core/math/kmGLMatrix.h"

namespace {

// No GL blend factor has this value, so the first ccGLSetBlendFunc always reaches GL.
constexpr GLenum kUnknown = 0xFFFFFFFF;

GLenum ccBlendingSource = kUnknown;
GLenum ccBlendingDest = kUnknown;

// Applies a pair without looking at the cache.
void ccGLApplyBlending(GLenum sfactor, GLenum dfactor) {
    if (sfactor == GL_ONE && dfactor == GL_ZERO) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(sfactor, dfactor);
    }
}

}  // namespace

void ccGLSetBlendFunc(GLenum sfactor, GLenum dfactor) {
    if (sfactor == ccBlendingSource && dfactor == ccBlendingDest) return;
    ccBlendingSource = sfactor;
    ccBlendingDest = dfactor;
    ccGLApplyBlending(sfactor, dfactor);
}

void ccGLInvalidateStateCache() {
    kmGLFreeStacks();
    ccBlendingSource = kUnknown;
    ccBlendingDest = kUnknown;
}

void ccGLProjectionChanged() {}
