// The configuration read from the real GL context.

#include "engine/core/CCConfiguration.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include "engine/core/CCGLView.h"
#include "tests/support/TestWindow.h"

namespace {

TEST(CCConfigurationGLTest, LimitsAndExtensionsComeFromTheContext) {
    const RefPtr<CCGLView> view =
        windowOrStop(CCGLView::viewWithFrame(CGRectMake(0, 0, 64, 64), "CCConfigurationGLTest", true));
    view->lockOpenGLContext();
    const RefPtr<CCConfiguration> configuration = makeRef<CCConfiguration>();
    GLint maxTextureSize = 0, maxUnits = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &maxUnits);
    EXPECT_EQ(configuration->maxTextureSize(), maxTextureSize);
    EXPECT_EQ(configuration->maxTextureUnits(), maxUnits);
    // What a desktop Mesa context offers, matched by whole extension names only.
    EXPECT_TRUE(configuration->supportsBGRA8888());
    EXPECT_FALSE(configuration->supportsPVRTC());
    EXPECT_TRUE(configuration->checkForGLExtension("GL_EXT_bgra"));
    EXPECT_FALSE(configuration->checkForGLExtension("GL_EXT_bgr"));
    EXPECT_FALSE(configuration->checkForGLExtension(""));
    view->unlockOpenGLContext();
}

}  // namespace
