// The filled primitives, drawn by the real director and read back from the frame.

#include <gtest/gtest.h>

#include "engine/core/ccDrawingPrimitives.h"
#include "support/GLSceneTest.h"

namespace {

// A filled rectangle in its own colour, then an outline in the current drawing colour, which the
// fill must leave as it was.
struct FilledRectNode : CCNode {
    void draw() override {
        const uint64_t before = ccDrawCallCounter;
        ccDrawColor4F(0, 1, 0, 1);
        ccDrawSolidRect(CGPointMake(40, 40), CGPointMake(100, 100), ccColor4F{0, 0, 1, 1});
        ccDrawRect(CGPointMake(150.5, 40.5), CGPointMake(200.5, 90.5));
        calls = ccDrawCallCounter - before;
    }
    uint64_t calls = 0;
};

using ccDrawingPrimitivesGLTest = GLSceneTest;

TEST_F(ccDrawingPrimitivesGLTest, AFillDrawsInItsOwnColourAndCountsAsOneDrawCall) {
    auto node = makeRef<FilledRectNode>();
    scene_->addChild(node.get());
    runFrames(1);
    EXPECT_EQ(node->calls, 1u + 4u);  // the fill, and the outline's four lines
    EXPECT_TRUE(pixelNear(70, 70, {0, 0, 255}));
    EXPECT_TRUE(pixelNear(175, 40, {0, 255, 0}));
    EXPECT_TRUE(pixelNear(175, 65, {0, 0, 0}));
}

}  // namespace
