#include "engine/core/math/kmMat4Stack.h"

#include <algorithm>

#include "platform/foundation/Log.h"

namespace {

constexpr int32_t initialCapacity = 30;
constexpr int32_t capacityIncrement = 50;

}  // namespace

void kmMat4StackInit(kmMat4Stack* stack) {
    stack->buffer = new kmMat4[initialCapacity];
    stack->capacity = initialCapacity;
    stack->count = 0;
    stack->top = nullptr;
}

void kmMat4StackPush(kmMat4Stack* stack, const kmMat4* item) {
    // When this push fills the block, the larger block is made first: a failed allocation then
    // leaves the stack intact, and item (which may point into the old block) is copied before that
    // block is freed.
    kmMat4* slots = stack->buffer;
    if (stack->count + 1 >= stack->capacity) {
        slots = new kmMat4[stack->capacity + capacityIncrement];
        std::copy(stack->buffer, stack->buffer + stack->count, slots);
    }
    slots[stack->count] = *item;
    if (slots != stack->buffer) {
        delete[] stack->buffer;
        stack->buffer = slots;
        stack->capacity += capacityIncrement;
    }
    ++stack->count;
    stack->top = stack->buffer + stack->count - 1;
}

void kmMat4StackPop(kmMat4Stack* stack) {
    if (stack->count <= 0) {
        logLine("Lumora: kmMat4StackPop: the matrix stack is empty, nothing popped");
        return;
    }
    --stack->count;
    stack->top = stack->count > 0 ? stack->buffer + stack->count - 1 : nullptr;
}

void kmMat4StackRelease(kmMat4Stack* stack) {
    delete[] stack->buffer;
    stack->buffer = nullptr;
    stack->top = nullptr;
    stack->capacity = 0;
    stack->count = 0;
}
