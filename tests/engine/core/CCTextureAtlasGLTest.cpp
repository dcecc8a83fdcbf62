// The texture atlas drawn by the real director: one draw call per run, the upload of only the
// drawn run when dirty, buffers that follow a change of capacity, and steady frames that allocate
// nothing. The bookkeeping of the quads themselves is checked without GL in CCTextureAtlasTest.

#include "engine/core/CCTextureAtlas.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kBlack{0, 0, 0};
constexpr ccColor3B kRed{255, 0, 0};
constexpr ccColor3B kGreen{0, 255, 0};
constexpr ccColor3B kBlue{0, 0, 255};

// A 20 x 20 square with its lower-left corner at (x, 0), in one colour.
ccV3F_C4B_T2F_Quad square(float x, ccColor3B color) {
    const ccColor4B c{color.r, color.g, color.b, 255};
    ccV3F_C4B_T2F_Quad q;
    q.bl = {{x, 0, 0}, c, {0, 1}};
    q.br = {{x + 20, 0, 0}, c, {1, 1}};
    q.tl = {{x, 20, 0}, c, {0, 0}};
    q.tr = {{x + 20, 20, 0}, c, {1, 0}};
    return q;
}

// Draws a run of its atlas the way batch nodes do, and notes the draw calls it cost.
class AtlasDrawer : public CCNode {
public:
    explicit AtlasDrawer(CCTextureAtlas* atlas) : atlas(atlas) {
        setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    }

    void draw() override {
        shaderProgram()->use();
        shaderProgram()->setUniformsForBuiltins();
        ccGLSetBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        const uint64_t before = ccDrawCallCounter;
        if (count == 0) {
            atlas->drawQuads();
        } else {
            atlas->drawNumberOfQuads(count, start);
        }
        drawCalls = ccDrawCallCounter - before;
    }

    RefPtr<CCTextureAtlas> atlas;
    uint64_t count = 0;  // of the run drawn from `start`; 0 draws every quad in use
    uint64_t start = 0;
    uint64_t drawCalls = 0;
};

class CCTextureAtlasGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        const std::vector<uint8_t> white(2 * 2 * 4, 255);
        texture_ = makeRef<CCTexture2D>();
        ASSERT_TRUE(texture_->initWithData(white.data(), kCCTexture2DPixelFormat_RGBA8888, 2, 2, CGSizeMake(2, 2)));
    }

    void TearDown() override {
        texture_.reset();
        GLSceneTest::TearDown();
    }

    // An atlas of squares in a row, 25 pixels apart, of the given colours.
    RefPtr<CCTextureAtlas> row(const std::vector<ccColor3B>& colors, uint64_t capacity) {
        RefPtr<CCTextureAtlas> atlas = CCTextureAtlas::textureAtlasWithTexture(texture_, capacity);
        for (size_t i = 0; i < colors.size(); ++i) {
            const ccV3F_C4B_T2F_Quad q = square(i * 25.0f, colors[i]);
            atlas->updateQuad(&q, i);
        }
        return atlas;
    }

    // The centre of square i.
    ::testing::AssertionResult squareIs(int i, ccColor3B color) { return pixelNear(i * 25 + 10, 10, color); }

    RefPtr<CCTexture2D> texture_;
};

TEST_F(CCTextureAtlasGLTest, DrawsARunWithOneCallFromBuffersThatFollowTheCapacity) {
    auto drawer = makeRef<AtlasDrawer>(row({kRed, kGreen, kBlue}, 4).get());
    scene_->addChild(drawer.get());
    runFrames(1);
    EXPECT_EQ(drawer->drawCalls, 1u);
    EXPECT_TRUE(squareIs(2, kBlue));
    EXPECT_TRUE(squareIs(3, kBlack));

    drawer->count = 1;
    drawer->start = 1;
    runFrames(1);
    EXPECT_EQ(drawer->drawCalls, 1u);
    EXPECT_TRUE(squareIs(0, kBlack));
    EXPECT_TRUE(squareIs(1, kGreen));
    EXPECT_TRUE(squareIs(2, kBlack));

    drawer->count = 0;
    ASSERT_TRUE(drawer->atlas->resizeCapacity(6));
    const ccV3F_C4B_T2F_Quad blue = square(5 * 25.0f, kBlue);
    drawer->atlas->insertQuad(&blue, 3);
    runFrames(1);
    EXPECT_TRUE(squareIs(5, kBlue));
    ASSERT_TRUE(drawer->atlas->resizeCapacity(1));
    runFrames(1);
    EXPECT_TRUE(squareIs(0, kRed));
    EXPECT_TRUE(squareIs(1, kBlack));

    // Quads changed in place every frame: steady frames allocate nothing.
    runFrames(2);
    AllocationCounter counter;
    for (int frame = 0; frame < 20; ++frame) {
        const ccV3F_C4B_T2F_Quad q = square(0, frame % 2 ? kRed : kGreen);
        drawer->atlas->updateQuad(&q, 0);
        runFrames(1);
    }
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_TRUE(squareIs(0, kRed));
}

TEST_F(CCTextureAtlasGLTest, ADirtyDrawUploadsOnlyTheRunItDraws) {
    auto drawer = makeRef<AtlasDrawer>(row({kRed, kRed, kRed, kRed, kRed, kRed}, 6).get());
    scene_->addChild(drawer.get());
    runFrames(1);

    // Quad 0 changes, but the next draw covers quads 2 to 5 only and clears the dirty mark, so
    // drawing everything shows the old quad 0 until a dirty draw covers it.
    const ccV3F_C4B_T2F_Quad blue = square(0, kBlue);
    drawer->atlas->updateQuad(&blue, 0);
    drawer->count = 4;
    drawer->start = 2;
    runFrames(1);
    drawer->count = 0;
    runFrames(1);
    EXPECT_TRUE(squareIs(0, kRed));
    drawer->atlas->quads();
    runFrames(1);
    EXPECT_TRUE(squareIs(0, kBlue));
}

}  // namespace
