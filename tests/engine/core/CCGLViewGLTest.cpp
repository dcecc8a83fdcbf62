// Views in real GL contexts: objects shared with another view's context, or not.

#include "engine/core/CCGLView.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "tests/support/TestWindow.h"

namespace {

using RGB = std::array<uint8_t, 3>;
constexpr RGB kRed{255, 0, 0};
constexpr RGB kWhite{255, 255, 255};
constexpr CGRect kFrame{{0, 0}, {32, 32}};

// A 1 x 1 red texture made in `view`'s context.
GLuint makeRedTexture(CCGLView& view) {
    view.lockOpenGLContext();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const uint8_t red[] = {255, 0, 0, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, red);
    glFinish();  // complete before another context reads it
    view.unlockOpenGLContext();
    return texture;
}

// Draws `texture` over the whole of `view` with white vertices and reads the middle back. A name
// the view's context does not know stands for an incomplete texture, which draws nothing: the
// quad stays white.
RGB drawTexture(CCGLView& view, GLuint texture) {
    view.lockOpenGLContext();
    glViewport(0, 0, 32, 32);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    for (const auto& [s, t] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        glTexCoord2f(float(s), float(t));
        glVertex2f(float(2 * s - 1), float(2 * t - 1));
    }
    glEnd();
    std::array<uint8_t, 4> pixel{};
    glReadPixels(16, 16, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    view.unlockOpenGLContext();
    return {pixel[0], pixel[1], pixel[2]};
}

TEST(CCGLViewGLTest, AViewMadeWithAnotherViewsContextDrawsItsTexturesAndAPlainViewDoesNot) {
    const RefPtr<CCGLView> maker = windowOrStop(CCGLView::viewWithFrame(kFrame, "maker", true));
    const GLuint texture = makeRedTexture(*maker);
    // Made in between, so that its context, not the maker's, is current when the sharing one is made.
    const RefPtr<CCGLView> plain = windowOrStop(CCGLView::viewWithFrame(kFrame, "plain", true));
    const RefPtr<CCGLView> sharing =
        windowOrStop(CCGLView::viewWithFrame(kFrame, "sharing", true, maker->window()));
    const struct {
        const char* name;
        CCGLView& view;
        RGB seen;
    } rows[] = {{"sharing", *sharing, kRed}, {"plain", *plain, kWhite}, {"maker", *maker, kRed}};
    for (const auto& row : rows) EXPECT_EQ(drawTexture(row.view, texture), row.seen) << row.name;
    maker->lockOpenGLContext();
    glDeleteTextures(1, &texture);
    maker->unlockOpenGLContext();
}

}  // namespace
