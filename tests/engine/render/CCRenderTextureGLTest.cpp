// A render texture drawn into, read back, shown in the scene and saved as PNG and JPEG into the
// documents folder; its refusals of names, formats and sizes, and the GL state it leaves.

#include "engine/render/CCRenderTexture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/core/CCLayerColor.h"
#include "platform/foundation/Log.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

class CCRenderTextureGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        // The documents folder named by the user's folder settings, not made yet.
        home_.write("user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + documents_ + "\"\n");
        setenv("XDG_CONFIG_HOME", home_.path().c_str(), 1);
        target_ = CCRenderTexture::renderTextureWithWidth(100, 50);
        target_->beginWithClear(0, 0, 0, 0);
        for (auto [colour, y] : {std::pair{ccColor4B{255, 0, 0, 255}, 25.0}, {ccColor4B{0, 0, 255, 255}, 0.0}}) {
            RefPtr<CCLayerColor> band = CCLayerColor::layerWithColor(colour, 100, 25);
            band->setPosition({0, y});
            band->visit();
        }
        target_->end();
    }

    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        target_.reset();
        GLSceneTest::TearDown();
    }

    // The picture is 100 x 50, red in its top 25 rows and blue below.
    static void expectRedOverBlue(const Image& image, int tolerance, const char* what) {
        ASSERT_TRUE(image.width() == 100 && image.height() == 50) << what;
        for (uint32_t row : {0, 12, 37, 49}) {
            const uint8_t* p = &image.pixels()[(row * 100 + 50) * 4];
            const int red = row < 25 ? 255 : 0;
            EXPECT_TRUE(std::abs(p[0] - red) <= tolerance && std::abs(p[2] - (255 - red)) <= tolerance && p[3] == 255)
                << what << ", row " << row;
        }
    }

    TemporaryFolder home_;
    const std::string documents_ = home_.file("My Documents");
    RefPtr<CCRenderTexture> target_;
};

TEST_F(CCRenderTextureGLTest, PixelsReadBackShowAndSaveTopRowFirst) {
    expectRedOverBlue(target_->newCGImage(), 0, "read back");
    ASSERT_TRUE(target_->saveToFile("shot.png", kCCImageFormatPNG) && target_->saveToFile("shot.jpg"));
    for (auto [name, tolerance] : {std::pair{"shot.png", 0}, {"shot.jpg", 8}}) {
        Image image;
        ASSERT_TRUE(image.initWithContentsOfFile(documents_ + "/" + name, 4096)) << name;
        expectRedOverBlue(image, tolerance, name);
    }
    target_->setPosition({160, 120});
    scene_->addChild(target_.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(160, 132, {255, 0, 0}) && pixelNear(160, 108, {0, 0, 255}));
}

TEST_F(CCRenderTextureGLTest, RefusalsWriteNothingAndLogOnce) {
    for (auto [name, format] : {std::pair{"", 1}, {"a/b.png", 1}, {"../up.png", 1}, {"..", 0}, {"shot.gif", 2}}) {
        LogCapture capture;
        EXPECT_FALSE(target_->saveToFile(name, format)) << name;
        EXPECT_EQ(capture.lines().size(), 1u) << name;
    }
    EXPECT_TRUE(!std::filesystem::exists(documents_) || std::filesystem::is_empty(documents_));
    EXPECT_FALSE(std::filesystem::exists(home_.file("up.png")));
    // Framebuffers GL cannot complete (a colour format as depth buffer), and empty ones.
    for (auto [width, depthFormat] : {std::pair{16, GLuint{GL_RGBA8}}, {0, GLuint{0}}}) {
        LogCapture capture;
        EXPECT_EQ(CCRenderTexture::renderTextureWithWidth(width, 16, kCCTexture2DPixelFormat_RGBA8888, depthFormat),
                  nullptr) << width;
        EXPECT_EQ(capture.lines().size(), 1u) << width;
    }
}

// Drawing into a target inside a transformed node leaves the node's matrix, the window's
// viewport and framebuffer and GL's clear colour as they were.
TEST_F(CCRenderTextureGLTest, BeginAndEndRestoreWhatTheyFound) {
    kmGLPush();
    kmGLTranslate(30, 40, 0);
    kmMat4 before, after;
    GLint viewport[8], framebuffer = -1;
    GLfloat clear[4];
    kmGLGetMatrix(KM_GL_MODELVIEW, &before);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glClearColor(0.25f, 0.5f, 0.75f, 1);
    target_->clear(1, 1, 1, 1);
    kmGLGetMatrix(KM_GL_MODELVIEW, &after);
    glGetIntegerv(GL_VIEWPORT, viewport + 4);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    kmGLPop();
    EXPECT_TRUE(std::equal(before.mat, before.mat + 16, after.mat) && std::equal(viewport, viewport + 4, viewport + 4));
    EXPECT_TRUE(framebuffer == 0 && clear[0] == 0.25f && clear[1] == 0.5f && clear[2] == 0.75f);
    EXPECT_EQ(target_->newCGImage().pixels()[2], 255) << "cleared to white";
}

}  // namespace
