// The atlas label and the director's statistics over a character map of solid-colour cells.

#include "engine/core/CCLabelAtlas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "engine/core/CCTextureAtlas.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/image/Image.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

// Cells of 12 x 32 pixels, ten to a row, from '.'; every channel a multiple of 17, so that the
// statistics' 4-bit texture keeps it exactly.
ccColor3B cellColour(int cell) { return {uint8_t(17 * (cell + 1)), uint8_t(255 - 17 * cell), 136}; }

class CCLabelAtlasGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        // Written before the director's view, which builds the statistics labels from it.
        std::vector<uint8_t> pixels(120 * 64 * 4, 0);
        for (int i = 0; i < 120 * 64; ++i) {
            const int cell = i / 120 / 32 * 10 + i % 120 / 12;
            const ccColor3B c = cellColour(cell);
            if (cell < 12) std::copy_n(std::array<uint8_t, 4>{c.r, c.g, c.b, 255}.data(), 4, &pixels[i * 4]);
        }
        ASSERT_TRUE(Image(120, 64, true, std::move(pixels)).writePNG(folder_.file("fps_images.png")));
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        GLSceneTest::SetUp();
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCLabelAtlasGLTest, LaysOutOneCellPerByteAndDrawsIt) {
    const RefPtr<CCLabelAtlas> label = CCLabelAtlas::labelWithString("..5 ", "fps_images.png", 12, 32, '.');
    ASSERT_NE(label, nullptr);
    // The blank wraps to cell 242, row 24; '5', cell 7, shows in the pixels.
    EXPECT_FLOAT_EQ(label->textureAtlas()->quads()[3].tl.texCoords.v, 24 * 32.f / label->texture()->pixelsHigh());

    label->setPosition(CGPointMake(100, 100));
    scene_->addChild(label.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(106, 116, cellColour(0)));
    EXPECT_TRUE(pixelNear(130, 116, cellColour(7)));
    EXPECT_TRUE(pixelNear(142, 116, {0, 0, 0}));  // a cell outside the map is transparent

    // A shorter text keeps the capacity and draws fewer quads; an equal one rewrites nothing.
    label->setString("5");
    label->textureAtlas()->quads()[0].tl.vertices.z = 7;
    label->setString("5");
    EXPECT_EQ(label->textureAtlas()->quads()[0].tl.vertices.z, 7);
    EXPECT_EQ((std::array{label->textureAtlas()->capacity(), label->quadsToDraw()}), (std::array<uint64_t, 2>{4, 1}));

    // Cells wider than the map leave none across it: nothing is drawn, rather than a division by 0.
    EXPECT_EQ(CCLabelAtlas::labelWithString("0", "fps_images.png", 200, 32, '.')->quadsToDraw(), 0u);
}

TEST_F(CCLabelAtlasGLTest, StatisticsShowSecondsPerFrameAndDrawCallsWithoutAllocating) {
    director_->setDisplayStats(true);
    runFrames(8);
    AllocationCounter counter;
    runFrames(20);
    EXPECT_EQ(counter.count(), 0u);

    // The overlay draws after the frame grabber, so it is drawn and read once more by hand.
    view_->lockOpenGLContext();
    glClear(GL_COLOR_BUFFER_BIT);
    director_->showStats();
    grabber_->draw();
    view_->unlockOpenGLContext();
    // With the statistics on a frame takes two fixed-clock ticks: seconds per frame "0.016" at
    // (0, 17) over the others, frames per second "32.0" at (0, 0) below, draw calls "   0" at (0, 34).
    const struct { int x, y; ccColor3B colour; } samples[] = {
        {18, 30, cellColour(0)}, {42, 30, cellColour(3)}, {54, 30, cellColour(8)},
        {6, 8, cellColour(5)}, {42, 60, cellColour(2)}, {6, 60, {0, 0, 0}},
    };
    for (const auto& sample : samples) EXPECT_TRUE(pixelNear(sample.x, sample.y, sample.colour));
}

}  // namespace
