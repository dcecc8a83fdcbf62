// Colour and gradient layers drawn by the real director, read back from the frame: blending, the
// corner colours of gradients, and the letterboxed picture after a resize.

#include "engine/core/CCLayerColor.h"

#include <gtest/gtest.h>

#include "engine/core/CCLayerGradient.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kBlack{0, 0, 0};
constexpr ccColor3B kWhite{255, 255, 255};

using CCLayerGLTest = GLSceneTest;

TEST_F(CCLayerGLTest, ColourLayerBlendsItsOpacityOverBlack) {
    auto layer = CCLayerColor::layerWithColor({255, 0, 0, 128}, 100, 50);
    layer->setPosition({10, 20});
    scene_->addChild(layer.get());
    const uint64_t callsBefore = ccDrawCallCounter;
    runFrames(1);
    EXPECT_EQ(ccDrawCallCounter, callsBefore + 1);
    EXPECT_TRUE(pixelNear(10, 20, {128, 0, 0}));  // the lower-left corner is at the position
    EXPECT_TRUE(pixelNear(110, 70, kBlack));

    // Colour, opacity and size changes reach the next frame.
    layer->setColor({0, 255, 0});
    layer->setOpacity(255);
    layer->changeWidth(200);
    layer->changeHeight(10);
    runFrames(1);
    EXPECT_TRUE(pixelNear(150, 25, {0, 255, 0}));
    EXPECT_TRUE(pixelNear(60, 45, kBlack));

    // Made without a size it covers the window.
    auto full = CCLayerColor::layerWithColor({0, 0, 255, 255});
    scene_->addChild(full.get(), -1);
    runFrames(1);
    EXPECT_TRUE(pixelNear(kWidth - 1, kHeight - 1, {0, 0, 255}));

    // Steady frames of layers allocate nothing.
    auto gradient = CCLayerGradient::layerWithColor({255, 0, 0, 255}, {0, 255, 0, 128}, CGPointMake(1, 0));
    scene_->addChild(gradient.get());
    runFrames(3);
    AllocationCounter counter;
    runFrames(10);
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(CCLayerGLTest, GradientCornersFollowTheVector) {
    auto gradient = CCLayerGradient::layerWithColor({255, 255, 255, 255}, {0, 0, 0, 255});
    scene_->addChild(gradient.get());
    const int right = kWidth - 1, top = kHeight - 1;

    // Start colour along the top edge, end colour along the bottom.
    runFrames(1);
    EXPECT_TRUE(pixelNear(right, top, kWhite));
    EXPECT_TRUE(pixelNear(0, 0, kBlack));
    EXPECT_TRUE(pixelNear(160, 120, {128, 128, 128}));

    // Uncompressed, an axis-aligned vector only reaches 14.6 % .. 85.4 %.
    gradient->setCompressedInterpolation(false);
    runFrames(1);
    EXPECT_TRUE(pixelNear(0, top, {218, 218, 218}));
    EXPECT_TRUE(pixelNear(right, 0, {37, 37, 37}));

    // Diagonal from red at the lower left to blue at the upper right; the other corners halfway.
    gradient->setCompressedInterpolation(true);
    gradient->setStartColor({255, 0, 0});
    gradient->setEndColor({0, 0, 255});
    gradient->setVector({1, 1});
    runFrames(1);
    EXPECT_TRUE(pixelNear(0, 0, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(right, 0, {128, 0, 128}));

    // The end opacity fades the end colour into what lies below; the layer's opacity scales both.
    gradient->setVector({0, -1});
    gradient->setEndOpacity(0);
    runFrames(1);
    EXPECT_TRUE(pixelNear(0, top, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(0, 0, kBlack));
    gradient->setOpacity(128);
    runFrames(1);
    EXPECT_TRUE(pixelNear(0, top, {128, 0, 0}));

    // Without a direction every corner is the start colour.
    gradient->setOpacity(255);
    gradient->setVector({0, 0});
    runFrames(1);
    EXPECT_TRUE(pixelNear(right, 0, {255, 0, 0}));
}

TEST_F(CCLayerGLTest, AResizeLetterboxesThePictureBetweenBlackBars) {
    scene_->addChild(CCLayerColor::layerWithColor({255, 255, 255, 255}).get());
    auto corner = CCLayerColor::layerWithColor({255, 0, 0, 255}, 10, 10);
    scene_->addChild(corner.get());

    // Twice as wide: the design picture keeps its scale and sits in the middle.
    resizeWindow(2 * kWidth, kHeight);
    ASSERT_EQ(grabber_->width, 2 * kWidth);
    const int left = kWidth / 2, right = left + kWidth;
    EXPECT_TRUE(pixelNear(left - 1, 120, kBlack));
    EXPECT_TRUE(pixelNear(right, 120, kBlack));
    EXPECT_TRUE(pixelNear(right - 1, kHeight - 1, kWhite));
    EXPECT_TRUE(pixelNear(left, 0, {255, 0, 0}));  // the design origin
}

}  // namespace
