#include "engine/core/math/kmGLMatrix.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

// Every case starts from freshly created stacks: the state is process-wide.
class kmGLMatrixTest : public ::testing::Test {
protected:
    void SetUp() override { kmGLFreeStacks(); }
    void TearDown() override { kmGLFreeStacks(); }

    static kmMat4 top(uint32_t mode) {
        kmMat4 m;
        kmGLGetMatrix(mode, &m);
        return m;
    }

    static bool popRefused() {
        LogCapture capture;
        kmGLPop();
        return capture.lines().size() == 1 && capture.contains("Lumora: kmGLPop");
    }
};

TEST_F(kmGLMatrixTest, StacksStartAsOneIdentityEachAndNeverLoseIt) {
    EXPECT_TRUE(popRefused());  // the first call creates the stacks, then refuses
    kmGLTranslate(1, 2, 3);     // modelview is current
    EXPECT_TRUE(near(glm::translate(glm::mat4(1), {1, 2, 3}), top(KM_GL_MODELVIEW), 0));
    for (uint32_t mode : {KM_GL_PROJECTION, KM_GL_TEXTURE}) {
        EXPECT_TRUE(near(glm::mat4(1), top(mode), 0)) << mode;
        kmGLSetMatrixMode(mode);
        EXPECT_TRUE(popRefused()) << mode;
    }

    // Unknown modes change nothing: neither the current stack nor what a read is given.
    kmGLSetMatrixMode(0x1703);
    kmGLScale(2, 2, 2);
    EXPECT_EQ(top(KM_GL_TEXTURE).mat[0], 2);
    kmMat4 out;
    std::memset(&out, 0x5A, sizeof out);
    const kmMat4 before = out;
    kmGLGetMatrix(0x1703, &out);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);

    // Freeing (twice is harmless) starts again from identity tops with modelview current.
    kmGLFreeStacks();
    kmGLFreeStacks();
    kmGLTranslate(7, 0, 0);
    EXPECT_EQ(top(KM_GL_MODELVIEW).mat[12], 7);
}

TEST_F(kmGLMatrixTest, TransformsMultiplyOnTheRight) {
    const glm::mat4 start = wellConditionedMatrix(5), extra = wellConditionedMatrix(6);
    const kmMat4 kmStart = toKm(start), kmExtra = toKm(extra);
    kmGLSetMatrixMode(KM_GL_PROJECTION);
    kmGLLoad(&kmStart);
    kmGLTranslate(1.5f, -2, 0.25f);
    kmGLRotate(30, 0, 0, 5);
    kmGLScale(2, 3, 4);
    kmGLMultiply(&kmExtra);
    glm::mat4 expected = glm::translate(start, {1.5f, -2, 0.25f});
    expected = glm::scale(glm::rotate(expected, 30 * 0.017453f, {0, 0, 1}), {2, 3, 4}) * extra;
    EXPECT_TRUE(near(expected, top(KM_GL_PROJECTION), 1e-4f));
    EXPECT_TRUE(near(glm::mat4(1), top(KM_GL_MODELVIEW), 0));
}

// Deep enough to cross the stack's growth points, with and without the affine multiply writing a
// reserved top: every level reads back as the running product, and popping returns each one.
TEST_F(kmGLMatrixTest, DeepPushesKeepEveryLevelThroughGrowth) {
    constexpr int kDepth = 150;
    for (int level = 1; level <= kDepth; ++level) {
        kmGLPush();
        if (level % 2) kmGLMultiplyAffine(1, 0, 0, 1, 1, 0, 0);  // one point right
        else kmGLTranslate(0, 1, 0);                              // one point up
        const kmMat4 m = top(KM_GL_MODELVIEW);
        ASSERT_EQ(m.mat[12], float((level + 1) / 2)) << level;
        ASSERT_EQ(m.mat[13], float(level / 2)) << level;
    }
    for (int level = kDepth; level > 0; --level) kmGLPop();
    EXPECT_TRUE(near(glm::mat4(1), top(KM_GL_MODELVIEW), 0));
    EXPECT_TRUE(popRefused());
}

}  // namespace
