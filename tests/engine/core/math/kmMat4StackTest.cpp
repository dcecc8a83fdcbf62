#include "engine/core/math/kmMat4Stack.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"

namespace {

kmMat4 translation(float x) {
    kmMat4 m;
    return *kmMat4MakeTranslation(&m, x, 0, 0);
}

}  // namespace

TEST(kmMat4StackTest, GrowsWhenFullAndKeepsOrder) {
    kmMat4Stack stack;
    kmMat4StackInit(&stack);
    for (int i = 0; i < 29; ++i) {
        const kmMat4 m = translation(float(i));
        kmMat4StackPush(&stack, &m);
    }
    EXPECT_EQ(stack.capacity, 30);
    // The push that fills the block grows it at once, even pushing the current top itself.
    kmMat4StackPush(&stack, stack.top);
    EXPECT_EQ(stack.capacity, 80);
    EXPECT_EQ(stack.top, stack.buffer + 29);
    EXPECT_EQ(stack.top->mat[12], 28);
    for (int i = 28; i >= 0; --i) {
        kmMat4StackPop(&stack);
        EXPECT_EQ(stack.top->mat[12], float(i)) << i;
    }
    kmMat4StackPop(&stack);
    EXPECT_EQ(stack.count, 0);
    EXPECT_EQ(stack.top, nullptr);
    kmMat4StackRelease(&stack);
}

TEST(kmMat4StackTest, EmptyPopIsRefusedAndReleasedStackStillWorks) {
    kmMat4Stack stack;
    kmMat4StackInit(&stack);
    {
        LogCapture capture;
        kmMat4StackPop(&stack);
        EXPECT_TRUE(capture.contains("Lumora: kmMat4StackPop"));
    }
    EXPECT_EQ(stack.top, nullptr);

    kmMat4StackRelease(&stack);
    const kmMat4 m = translation(4);
    kmMat4StackPush(&stack, &m);  // a released stack allocates again
    EXPECT_EQ(stack.top->mat[12], 4);
    kmMat4StackRelease(&stack);
    kmMat4StackRelease(&stack);  // releasing twice is harmless
}
