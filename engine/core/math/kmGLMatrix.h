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
// into the drawing walk; everything else goes through the functions below. Invariants: stack is
// null exactly while the stacks do not exist, else it is the current mode's stack; topPending
// means the top slot was reserved by a push and not yet written, standing for a copy of the
// matrix below it (the multiply that follows a node's push writes its product straight into the
// slot, sparing the copy; any other access fills the slot first).
struct kmGLCurrentStack {
    kmMat4Stack* stack = nullptr;
    bool topPending = false;
};
// Engine-thread state behind every function here; read or write it only through them.
extern kmGLCurrentStack kmGLCurrent;

// Out-of-line halves of the inline operations: first use, a full block, a pending top, a refused pop.
void kmGLPushSlow();
void kmGLPopSlow();

void kmGLInitStacks();
// Releases the three stacks; the next operation starts again from identity tops.
void kmGLFreeStacks();
// Makes the mode's stack current; any other value is ignored.
void kmGLSetMatrixMode(uint32_t mode);
// Pushes a copy of the current top.
inline void kmGLPush() {
    kmMat4Stack* stack = kmGLCurrent.stack;
    if (stack && !kmGLCurrent.topPending && stack->count + 1 < stack->capacity) {
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
    if (stack && stack->count > 1) {
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
    if (!kmGLCurrent.stack) kmGLInitStacks();
    kmMat4* top = kmGLCurrent.stack->top;
    kmMat4MultiplyAffine(top, kmGLCurrent.topPending ? top - 1 : top, a, b, c, d, tx, ty, tz);
    kmGLCurrent.topPending = false;
}
void kmGLTranslate(float x, float y, float z);
// Rotation by the angle in degrees about the axis, which is normalised first.
void kmGLRotate(float angle, float x, float y, float z);
void kmGLScale(float x, float y, float z);
// Copies the top of the mode's stack, current or not; any other mode leaves pOut untouched.
void kmGLGetMatrix(uint32_t mode, kmMat4* pOut);
