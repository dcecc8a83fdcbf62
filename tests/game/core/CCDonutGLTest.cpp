// The ring and disc nodes drawn by the real director into a window, read back from the frame.

#include "game/core/CCDonut.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/support/CCFileUtils.h"
#include "game/core/CCCircle.h"
#include "platform/image/Image.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kBlack{0, 0, 0};
constexpr ccColor3B kRed{255, 0, 0};
constexpr ccColor3B kGreen{0, 255, 0};

class CCDonutGLTest : public GLSceneTest {
protected:
    // 16 x 2 pixels: the left half red, the right half green. Decoded pictures carry
    // premultiplied alpha; raw data does not.
    static RefPtr<CCTexture2D> twoColourTexture(bool premultiplied) {
        std::vector<uint8_t> pixels;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 16; ++x) {
                const uint8_t rgba[4] = {uint8_t(x < 8 ? 255 : 0), uint8_t(x < 8 ? 0 : 255), 0, 255};
                pixels.insert(pixels.end(), rgba, rgba + 4);
            }
        }
        auto texture = makeRef<CCTexture2D>();
        if (premultiplied) {
            const Image image(16, 2, true, pixels);
            EXPECT_TRUE(texture->initWithCGImage(&image, kCCResolutionStandard));
        } else {
            EXPECT_TRUE(texture->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, 16, 2, {16, 2}));
        }
        return texture;
    }

    // The window pixel at `degrees` clockwise from the top, `radius` points from the centre.
    static std::pair<int, int> around(double degrees, double radius) {
        const double radians = degrees * M_PI / 180;
        return {int(std::lround(kWidth / 2 + radius * std::sin(radians))),
                int(std::lround(kHeight / 2 + radius * std::cos(radians)))};
    }

    RefPtr<CCDonut> addRing(RefPtr<CCTexture2D> texture, float outer, float inner, int32_t s, int32_t r) {
        auto donut = makeRef<CCDonut>();
        EXPECT_TRUE(donut->initWithTexture(std::move(texture)));
        EXPECT_TRUE(donut->createDonut(outer, inner, s, r));
        donut->setPosition({kWidth / 2, kHeight / 2});
        scene_->addChild(donut.get());
        return donut;
    }
};

TEST_F(CCDonutGLTest, ATwoColourTextureRepeatsRepeatCountTimesAroundTheRing) {
    addRing(twoColourTexture(true), 100, 60, 96, 3);
    runFrames(1);
    // From the top clockwise, each sixth of the turn is half a repeat: red, green, red, ...
    for (int sixth = 0; sixth < 6; ++sixth) {
        const auto [x, y] = around(30 + 60 * sixth, 80);
        EXPECT_TRUE(pixelNear(x, y, sixth % 2 == 0 ? kRed : kGreen)) << "sixth " << sixth;
    }
    EXPECT_TRUE(pixelNear(kWidth / 2, kHeight / 2, kBlack));  // the hole
    const auto [x, y] = around(45, 110);
    EXPECT_TRUE(pixelNear(x, y, kBlack));  // beyond the rim
}

TEST_F(CCDonutGLTest, TextureCoordinatesRepeatTheRectAlongTheRingFromOuterTopToInnerBottom) {
    const RefPtr<CCDonut> donut = addRing(twoColourTexture(true), 100, 60, 4, 3);
    const float outerU[] = {0, 0.75f, 1.5f, 2.25f, 3};
    const float innerU[] = {0, 1, 2, 3};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(donut->vertexData()[2 * k].texCoords, (ccTex2F{outerU[k], 0})) << k;
    for (int j = 0; j < 4; ++j) EXPECT_EQ(donut->vertexData()[2 * j + 1].texCoords, (ccTex2F{innerU[j], 1})) << j;

    // A rect of the texture's middle half, the top row only: it starts a quarter in.
    donut->setTextureRect(CGRectMake(4, 0, 8, 1));
    EXPECT_EQ(donut->contentSize(), CGSizeMake(8, 1));
    for (int k = 0; k < 5; ++k) {
        EXPECT_FLOAT_EQ(donut->vertexData()[2 * k].texCoords.u, 0.5f / 4 * (3 * k) + 0.25f) << k;
        EXPECT_FLOAT_EQ(donut->vertexData()[2 * k].texCoords.v, 0);
    }
    EXPECT_FLOAT_EQ(donut->vertexData()[1].texCoords.v, 0.5f);
    EXPECT_FLOAT_EQ(donut->vertexData()[7].texCoords.u, 0.5f / 3 * 9 + 0.25f);
}

TEST_F(CCDonutGLTest, BlendingFollowsTheTexturesAlphaAndOpacityDarkensAPremultipliedRing) {
    const RefPtr<CCDonut> straight = makeRef<CCDonut>();
    straight->initWithTexture(twoColourTexture(false));
    EXPECT_EQ(straight->blendFunc(), (ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_FALSE(straight->doesOpacityModifyRGB());

    const RefPtr<CCDonut> donut = addRing(twoColourTexture(true), 100, 60, 64, 1);
    EXPECT_EQ(donut->blendFunc(), (ccBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_TRUE(donut->doesOpacityModifyRGB());
    donut->setColor({255, 255, 255});
    donut->setOpacity(128);
    EXPECT_EQ(donut->drawnColor(), (ccColor3B{128, 128, 128}));
    EXPECT_EQ(donut->color(), (ccColor3B{255, 255, 255}));
    runFrames(1);
    // Half a turn of red from the top, over black: 128 of red.
    const auto [x, y] = around(90, 80);
    EXPECT_TRUE(pixelNear(x, y, {128, 0, 0}));
}

TEST_F(CCDonutGLTest, MakingTheRingAgainReusesItsBuffersAndDrawsTheNewRing) {
    const RefPtr<CountingDrawCalls<CCDonut>> donut = makeRef<CountingDrawCalls<CCDonut>>();
    ASSERT_TRUE(donut->initWithTexture(twoColourTexture(true)));
    ASSERT_TRUE(donut->createDonut(100, 60, 32, 1));
    donut->setPosition({kWidth / 2, kHeight / 2});
    scene_->addChild(donut.get());
    runFrames(1);
    EXPECT_EQ(donut->drawCalls, 1u);
    const GLuint buffers[3] = {donut->vertexBuffer(), donut->indexBuffer(), donut->vertexArray()};
    ASSERT_NE(buffers[0], 0u);

    // Smaller, and with more subdivisions: the same GL objects, the new geometry.
    ASSERT_TRUE(donut->createDonut(50, 20, 64, 1));
    runFrames(1);
    EXPECT_EQ(donut->vertexBuffer(), buffers[0]);
    EXPECT_EQ(donut->indexBuffer(), buffers[1]);
    EXPECT_EQ(donut->vertexArray(), buffers[2]);
    const auto [oldX, oldY] = around(90, 80);
    EXPECT_TRUE(pixelNear(oldX, oldY, kBlack));
    const auto [newX, newY] = around(90, 35);
    EXPECT_TRUE(pixelNear(newX, newY, kRed));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(CCDonutGLTest, ADiscDrawsItsColourAndSteadyFramesOfRingAndDiscAllocateNothing) {
    const RefPtr<CountingDrawCalls<CCCircle>> circle = makeRef<CountingDrawCalls<CCCircle>>();
    ASSERT_TRUE(circle->initWithRadius(40, {0, 0, 255, 255}, 32));
    circle->setPosition({kWidth / 2, kHeight / 2});
    scene_->addChild(circle.get());
    addRing(twoColourTexture(true), 100, 60, 64, 2);
    runFrames(2);
    EXPECT_EQ(circle->drawCalls, 1u);
    EXPECT_TRUE(pixelNear(kWidth / 2 + 30, kHeight / 2, {0, 0, 255}));
    EXPECT_TRUE(pixelNear(kWidth / 2 + 50, kHeight / 2, kBlack));

    AllocationCounter counter;
    runFrames(5);
    EXPECT_EQ(counter.count(), 0u);
}

}  // namespace
