#pragma once

#include <cstdint>

#include "engine/core/math/kmMat4.h"

// A stack of matrices in one heap block that grows by 50 slots and never shrinks until released.
// Invariant once initialised: 0 <= count < capacity (a push that fills the block grows it at
// once), and top is the slot count - 1, or null while count is 0.
struct kmMat4Stack {
    int32_t capacity;  // slots in buffer
    int32_t count;     // matrices on the stack
    kmMat4* top;       // the last pushed matrix, inside buffer
    kmMat4* buffer;    // capacity slots, bottom of the stack first
};

// An empty stack with room for 30 matrices.
void kmMat4StackInit(kmMat4Stack* stack);
// Copies the matrix on top (it may be the current top itself). Throws std::bad_alloc, leaving the
// stack as it was, when growing fails.
void kmMat4StackPush(kmMat4Stack* stack, const kmMat4* item);
// Drops the top matrix; on an empty stack logs one line and changes nothing.
void kmMat4StackPop(kmMat4Stack* stack);
// Frees the buffer; the stack is then empty with no capacity (a later push allocates again).
void kmMat4StackRelease(kmMat4Stack* stack);
