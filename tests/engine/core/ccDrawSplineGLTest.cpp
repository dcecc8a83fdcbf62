// The spline drawing primitives, drawn by the real director and read back from the frame.

#include <gtest/gtest.h>

#include "engine/core/ccDrawingPrimitives.h"
#include "engine/core/math/CCPointArray.h"
#include "support/GLSceneTest.h"

namespace {

// Draws two splines each frame and counts the draw calls they make.
struct SplineNode : CCNode {
    void draw() override {
        const uint64_t before = ccDrawCallCounter;
        ccDrawColor4F(1, 0, 0, 1);
        ccDrawCatmullRom(curve.get(), 64);
        ccDrawColor4F(0, 1, 0, 1);
        ccDrawCardinalSpline(corner.get(), 1, 64);  // tension 1: straight pieces
        ccDrawCatmullRom(CCPointArray::arrayWithCapacity(0).get(), 64);
        ccDrawCatmullRom(nullptr, 64);
        ccDrawCardinalSpline(corner.get(), 1, 0);
        calls = ccDrawCallCounter - before;
    }
    RefPtr<CCPointArray> curve = CCPointArray::arrayWithCapacity(4);
    RefPtr<CCPointArray> corner = CCPointArray::arrayWithCapacity(3);
    uint64_t calls = 0;
};

using ccDrawSplineGLTest = GLSceneTest;

TEST_F(ccDrawSplineGLTest, SplinesPassThroughTheirPointsAndEmptyOnesDrawNothing) {
    auto node = makeRef<SplineNode>();
    node->curve->setControlPoints({{20.5, 150.5}, {80.5, 210.5}, {140.5, 150.5}, {200.5, 210.5}});
    node->corner->setControlPoints({{20.5, 20.5}, {120.5, 20.5}, {120.5, 120.5}});
    scene_->addChild(node.get());
    runFrames(1);
    EXPECT_EQ(node->calls, 2u);
    for (auto [x, y] : {std::pair{20, 150}, {80, 210}, {140, 150}, {200, 210}}) EXPECT_TRUE(pixelNear(x, y, {255, 0, 0}));
    // Straight pieces between the corner's points; nothing inside the arch or across the corner.
    for (auto [x, y] : {std::pair{70, 20}, {120, 70}}) EXPECT_TRUE(pixelNear(x, y, {0, 255, 0}));
    for (auto [x, y] : {std::pair{80, 180}, {70, 70}}) EXPECT_TRUE(pixelNear(x, y, {0, 0, 0}));
}

}  // namespace
