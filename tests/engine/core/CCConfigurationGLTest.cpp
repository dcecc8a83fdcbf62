// The configuration read from the real GL context.

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include "engine/core/CCConfiguration.h"
#include "engine/core/CCGLView.h"

namespace {

TEST(CCConfigurationGLTest, LimitsAndExtensionsComeFromTheContext) {
    const RefPtr<CCGLView> view = CCGLView::viewWithFrame(CGRectMake(0, 0, 64, 64), "CCConfigurationGLTest", true);
    ASSERT_NE(view, nullptr);
    view->lockOpenGLContext();
    const RefPtr<CCConfiguration> configuration = makeRef<CCConfiguration>();
    GLint maxTextureSize = 0, maxUnits = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &maxUnits);
    EXPECT_EQ(configuration->maxTextureSize(), maxTextureSize);
    EXPECT_GE(configuration->maxTextureSize(), 4096);
    EXPECT_EQ(configuration->maxTextureUnits(), maxUnits);
    EXPECT_EQ(configuration->maxModelviewStackDepth(), 0);

    // What a desktop Mesa context offers.
    EXPECT_TRUE(configuration->supportsNPOT());
    EXPECT_TRUE(configuration->supportsBGRA8888());
    EXPECT_FALSE(configuration->supportsPVRTC());
    EXPECT_FALSE(configuration->supportsShareableVAO());
    // Whole names only.
    EXPECT_TRUE(configuration->checkForGLExtension("GL_EXT_bgra"));
    EXPECT_FALSE(configuration->checkForGLExtension("GL_EXT_bgr"));
    EXPECT_FALSE(configuration->checkForGLExtension("GL_EXT"));
    EXPECT_FALSE(configuration->checkForGLExtension(""));

    EXPECT_EQ(CCConfiguration::sharedConfiguration(), CCConfiguration::sharedConfiguration());
    EXPECT_EQ(CCConfiguration::sharedConfiguration()->maxTextureSize(), maxTextureSize);
    view->unlockOpenGLContext();
}

}  // namespace
