#include "engine/core/math/kmMat4Stack.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"

namespace {

TEST(kmMat4StackTest, GrowsWhenFullKeepsOrderAndRefusesAnEmptyPop) {
    kmMat4Stack stack;
    kmMat4StackInit(&stack);
    kmMat4 m;
    for (int i = 0; i < 29; ++i) kmMat4StackPush(&stack, kmMat4MakeTranslation(&m, float(i), 0, 0));
    EXPECT_EQ(stack.capacity, 30);
    // The push that fills the block grows it at once, even pushing the current top itself.
    kmMat4StackPush(&stack, stack.top);
    EXPECT_EQ(stack.capacity, 80);
    EXPECT_EQ(stack.top->mat[12], 28);
    for (int i = 28; i >= 0; --i) {
        kmMat4StackPop(&stack);
        EXPECT_EQ(stack.top->mat[12], float(i)) << i;
    }
    kmMat4StackPop(&stack);
    EXPECT_EQ(stack.top, nullptr);
    LogCapture capture;
    kmMat4StackPop(&stack);
    EXPECT_TRUE(capture.contains("Lumora: kmMat4StackPop"));
    EXPECT_EQ(stack.count, 0);

    // A released stack allocates again on the next push.
    kmMat4StackRelease(&stack);
    kmMat4StackPush(&stack, kmMat4MakeTranslation(&m, 4, 0, 0));
    EXPECT_EQ(stack.top->mat[12], 4);
    kmMat4StackRelease(&stack);
}

}  // namespace
