#pragma once

#include <epoxy/gl.h>

// The engine's record of the GL state it set, so that redundant GL calls are skipped. Every blend
// change goes through here, never straight to GL. Engine thread only, with the view's context
// current.

// Sets the blend factors unless they are the ones last set; (GL_ONE, GL_ZERO) turns blending off.
void ccGLSetBlendFunc(GLenum sfactor, GLenum dfactor);

// Forgets every cached value, so that the next call of each kind reaches GL, and frees the matrix
// stacks. Needs no GL context.
void ccGLInvalidateStateCache();

// Announces that the projection matrix was rebuilt (by the director or a grid). Nothing cached
// depends on it yet.
void ccGLProjectionChanged();
