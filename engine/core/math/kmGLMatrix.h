#pragma once

#include <cstdint>

#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmMat4Stack.h"

// Process-wide matrix stacks standing in for fixed-function OpenGL's: one per matrix mode, one of
// them current. Push, pop, load and the multiplications act on the current stack's top; every
// transform is multiplied in on the right, so the last one applied acts first on a vertex.
// Engine thread only: the state is not locked.
//
// Every operation except kmGLFreeStacks first creates the stacks if they do not exist, each
// holding one identity matrix with modelview current. No stack is ever popped below that one
// matrix.

// Matrix modes, the values of the OpenGL constants.
constexpr uint32_t KM_GL_MODELVIEW = 0x1700;
constexpr uint32_t KM_GL_PROJECTION = 0x1701;
constexpr uint32_t KM_GL_TEXTURE = 0x1702;

// The current stack, exposed so that the per-node operations (push, affine multiply, pop) inline
// into the drawing walk; everything else goes through the functions below. Invariants: stack
// always points at a stack: the current mode's while the stacks exist, else an empty one without
// capacity, on which the inline fast paths fail over to the out-of-line halves that make the
// stacks. topPending means the top slot was reserved by a push and not yet written, standing for
// a copy of the matrix below it (the multiply that follows a node's push writes its product
// straight into the slot, sparing the copy; any other access fills the slot first).
struct kmGLCurrentStack {
    kmMat4Stack* stack;
    bool topPending;
};
// Engine-thread state behind every function here; read or write it only through them.
extern kmGLCurrentStack kmGLCurrent;

// Out-of-line halves of the inline operations: first use, a full block, a pending top, a refused pop.
[[gnu::cold]] void kmGLPushSlow();
[[gnu::cold]] void kmGLPopSlow();

void kmGLInitStacks();
// Releases the three stacks; the next operation starts again from identity tops.
void kmGLFreeStacks();
// Makes the mode's stack current; any other value is ignored.
void kmGLSetMatrixMode(uint32_t mode);
// Pushes a copy of the current top.
inline void kmGLPush() {
    kmMat4Stack* stack = kmGLCurrent.stack;
    if (!kmGLCurrent.topPending && stack->count + 1 < stack->capacity) {
        ++stack->top;
        ++stack->count;
        kmGLCurrent.topPending = true;
    } else {
        kmGLPushSlow();
    }
}
// Pops the current stack; refused with a log line when only its last matrix is left.
inline void kmGLPop() {
    kmMat4Stack* stack = kmGLCurrent.stack;
    if (stack->count > 1) {
        --stack->top;
        --stack->count;
        kmGLCurrent.topPending = false;
    } else {
        kmGLPopSlow();
    }
}
void kmGLSetIdentity();
void kmGLLoad(const kmMat4* pIn);
// top = top x pIn.
void kmGLMultiply(const kmMat4* pIn);
// top = top x the 2D affine matrix of kmMat4MultiplyAffine, the fast form of kmGLMultiply for
// node transforms.
inline void kmGLMultiplyAffine(float a, float b, float c, float d, float tx, float ty, float tz) {
    if (kmGLCurrent.topPending) {
        kmGLCurrent.topPending = false;
        kmMat4* top = kmGLCurrent.stack->top;
        kmMat4MultiplyAffine(top, top - 1, a, b, c, d, tx, ty, tz);
    } else {
        kmGLInitStacks();
        kmMat4* top = kmGLCurrent.stack->top;
        kmMat4MultiplyAffine(top, top, a, b, c, d, tx, ty, tz);
    }
}
void kmGLTranslate(float x, float y, float z);
// Rotation by the angle in degrees about the axis, which is normalised first.
void kmGLRotate(float angle, float x, float y, float z);
void kmGLScale(float x, float y, float z);
// Copies the top of the mode's stack, current or not; any other mode leaves pOut untouched.
void kmGLGetMatrix(uint32_t mode, kmMat4* pOut);
