#include "engine/core/math/kmGLMatrix.h"

#include "engine/core/math/kmMat4Stack.h"
#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec3.h"
#include "platform/foundation/Log.h"

namespace {

kmMat4Stack modelviewStack;
kmMat4Stack projectionStack;
kmMat4Stack textureStack;
// Current while the stacks do not exist: no capacity, so every inline fast path fails over.
kmMat4Stack unmadeStack = {0, 0, nullptr, nullptr};

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

// Kept out of line so that the inline per-node operations carry only the null test.
[[gnu::cold, gnu::noinline]] void createStacks() {
    kmMat4Stack* const stacks[] = {&modelviewStack, &projectionStack, &textureStack};
    for (kmMat4Stack* stack : stacks) {
        kmMat4StackInit(stack);
    }
    kmGLCurrent.stack = &modelviewStack;
    kmMat4 identity;
    kmMat4MakeIdentity(&identity);
    for (kmMat4Stack* stack : stacks) {
        kmMat4StackPush(stack, &identity);
    }
}

void fillPendingTop() {
    if (kmGLCurrent.topPending) {
        *kmGLCurrent.stack->top = kmGLCurrent.stack->top[-1];
        kmGLCurrent.topPending = false;
    }
}

kmMat4* currentTop() {
    kmGLInitStacks();
    fillPendingTop();
    return kmGLCurrent.stack->top;
}

}  // namespace

kmGLCurrentStack kmGLCurrent = {&unmadeStack, false};

void kmGLInitStacks() {
    if (kmGLCurrent.stack == &unmadeStack) {
        createStacks();
    }
}

void kmGLFreeStacks() {
    kmMat4StackRelease(&modelviewStack);
    kmMat4StackRelease(&projectionStack);
    kmMat4StackRelease(&textureStack);
    kmGLCurrent = {&unmadeStack, false};
}

void kmGLSetMatrixMode(uint32_t mode) {
    kmGLInitStacks();
    fillPendingTop();
    if (kmMat4Stack* stack = stackForMode(mode)) {
        kmGLCurrent.stack = stack;
    }
}

void kmGLPushSlow() {
    kmMat4* top = currentTop();
    kmMat4StackPush(kmGLCurrent.stack, top);
}

void kmGLPopSlow() {
    kmGLInitStacks();
    if (kmGLCurrent.stack->count <= 1) {
        logLine("Lumora: kmGLPop: refusing to pop the last matrix of the stack (unbalanced push and pop)");
        return;
    }
    kmGLCurrent.topPending = false;
    kmMat4StackPop(kmGLCurrent.stack);
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
