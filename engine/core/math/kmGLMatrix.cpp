#include "engine/core/math/kmGLMatrix.h"

#include "engine/core/math/kmMat4Stack.h"
#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec3.h"
#include "platform/foundation/Log.h"

namespace {

kmMat4Stack modelviewStack;
kmMat4Stack projectionStack;
kmMat4Stack textureStack;
kmMat4Stack* currentStack = nullptr;
bool initialised = false;
// The current stack's top slot was reserved by kmGLPush and not yet written: it stands for a copy
// of the matrix below it. kmGLMultiplyAffine, which every node visit calls right after its push,
// then writes its product straight into the slot, sparing the copy; any other access fills the
// slot first.
bool topPending = false;

kmMat4Stack* stackForMode(uint32_t mode) {
    switch (mode) {
        case KM_GL_MODELVIEW:
            return &modelviewStack;
        case KM_GL_PROJECTION:
            return &projectionStack;
        case KM_GL_TEXTURE:
            return &textureStack;
        default:
            return nullptr;
    }
}

// Kept out of line so that the per-node calls carry only the initialised test.
[[gnu::cold, gnu::noinline]] void createStacks() {
    kmMat4Stack* const stacks[] = {&modelviewStack, &projectionStack, &textureStack};
    for (kmMat4Stack* stack : stacks) {
        kmMat4StackInit(stack);
    }
    currentStack = &modelviewStack;
    initialised = true;
    kmMat4 identity;
    kmMat4MakeIdentity(&identity);
    for (kmMat4Stack* stack : stacks) {
        kmMat4StackPush(stack, &identity);
    }
}

void fillPendingTop() {
    if (topPending) {
        *currentStack->top = currentStack->top[-1];
        topPending = false;
    }
}

kmMat4* currentTop() {
    kmGLInitStacks();
    fillPendingTop();
    return currentStack->top;
}

}  // namespace

void kmGLInitStacks() {
    if (!initialised) {
        createStacks();
    }
}

void kmGLFreeStacks() {
    kmMat4StackRelease(&modelviewStack);
    kmMat4StackRelease(&projectionStack);
    kmMat4StackRelease(&textureStack);
    initialised = false;
    currentStack = nullptr;
    topPending = false;
}

void kmGLSetMatrixMode(uint32_t mode) {
    kmGLInitStacks();
    fillPendingTop();
    if (kmMat4Stack* stack = stackForMode(mode)) {
        currentStack = stack;
    }
}

void kmGLPush() {
    kmMat4* top = currentTop();
    kmMat4Stack* stack = currentStack;
    // A push that fills the block goes through the stack, which grows it.
    if (stack->count + 1 < stack->capacity) {
        stack->top = top + 1;
        ++stack->count;
        topPending = true;
    } else {
        kmMat4StackPush(stack, top);
    }
}

void kmGLPop() {
    kmGLInitStacks();
    if (currentStack->count <= 1) {
        logLine("Lumora: kmGLPop: refusing to pop the last matrix of the stack (unbalanced push and pop)");
        return;
    }
    topPending = false;
    kmMat4StackPop(currentStack);
}

void kmGLSetIdentity() {
    kmMat4MakeIdentity(currentTop());
}

void kmGLLoad(const kmMat4* pIn) {
    kmMat4Copy(currentTop(), pIn);
}

void kmGLMultiply(const kmMat4* pIn) {
    kmMat4* top = currentTop();
    kmMat4Multiply(top, top, pIn);
}

void kmGLMultiplyAffine(float a, float b, float c, float d, float tx, float ty, float tz) {
    kmGLInitStacks();
    kmMat4* top = currentStack->top;
    kmMat4MultiplyAffine(top, topPending ? top - 1 : top, a, b, c, d, tx, ty, tz);
    topPending = false;
}

void kmGLTranslate(float x, float y, float z) {
    // top x translation changes only column 3, which becomes top x (x, y, z, 1); the sums run in
    // the order kmMat4Multiply uses, so the result is the same.
    float* m = currentTop()->mat;
    for (int row = 0; row < 4; ++row) {
        m[row + 12] = m[row] * x + m[row + 4] * y + m[row + 8] * z + m[row + 12];
    }
}

void kmGLRotate(float angle, float x, float y, float z) {
    const kmVec3 axis = {x, y, z};
    kmMat4 rotation;
    kmMat4MakeRotationAxis(&rotation, &axis, kmDegreesToRadians(angle));
    kmGLMultiply(&rotation);
}

void kmGLScale(float x, float y, float z) {
    kmMat4 scaling;
    kmMat4MakeScaling(&scaling, x, y, z);
    kmGLMultiply(&scaling);
}

void kmGLGetMatrix(uint32_t mode, kmMat4* pOut) {
    kmGLInitStacks();
    fillPendingTop();
    if (const kmMat4Stack* stack = stackForMode(mode)) {
        *pOut = *stack->top;
    }
}
