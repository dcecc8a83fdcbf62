#include "game/core/QXScreenshot.h"

#include <gtest/gtest.h>

#include "engine/core/CCLayerColor.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/HeadlessDirectorTest.h"

namespace {

// Drawn last in the scene: takes the pictures while the frame is in the back buffer.
class Photographer : public CCNode {
public:
    void draw() override {
        image = QXScreenshot::takeAsImage();
        texture = QXScreenshot::takeAsTexture();
    }
    Image image;
    RefPtr<CCTexture2D> texture;
};

using QXScreenshotGLTest = GLSceneTest;

TEST_F(QXScreenshotGLTest, TakesTheFrameTopRowFirstAsAnOpaquePictureAndATexture) {
    // Blue everywhere, red over the top quarter, half transparent green at the bottom left.
    scene_->addChild(CCLayerColor::layerWithColor({0, 0, 255, 255}).get());
    auto top = CCLayerColor::layerWithColor({255, 0, 0, 255}, kWidth, kHeight / 4);
    top->setPosition({0, kHeight * 3 / 4});
    scene_->addChild(top.get());
    scene_->addChild(CCLayerColor::layerWithColor({0, 255, 0, 128}, 10, 10).get());
    auto photographer = makeRef<Photographer>();
    scene_->addChild(photographer.get(), 100);
    runFrames(1);

    const Image& image = photographer->image;
    ASSERT_EQ(image.width(), uint32_t(kWidth));
    ASSERT_EQ(image.height(), uint32_t(kHeight));
    auto at = [&](uint32_t x, uint32_t y) {
        const uint8_t* p = &image.pixels()[(size_t(y) * image.width() + x) * 4];
        return ccColor4B{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(5, 5), (ccColor4B{255, 0, 0, 255}));                  // top left
    EXPECT_EQ(at(kWidth - 1, kHeight / 2), (ccColor4B{0, 0, 255, 255}));
    const ccColor4B blended = at(5, kHeight - 5);                       // bottom left
    EXPECT_EQ(blended.a, 255);
    EXPECT_NEAR(blended.g, 128, 2);
    EXPECT_FALSE(image.hasAlpha());

    ASSERT_NE(photographer->texture, nullptr);
    EXPECT_EQ(photographer->texture->contentSizeInPixels(), CGSizeMake(kWidth, kHeight));
}

using QXScreenshotWithoutViewTest = HeadlessDirectorTest;

TEST_F(QXScreenshotWithoutViewTest, WithoutAViewThereIsNoPicture) {
    LogCapture log;
    EXPECT_TRUE(QXScreenshot::takeAsImage().empty());
    EXPECT_EQ(QXScreenshot::takeAsTexture(), nullptr);
    EXPECT_TRUE(log.contains("no view"));
}

}  // namespace
