#include "engine/core/math/kmGLMatrix.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/math/kmVec3.h"
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

    static kmMat4 identity() {
        kmMat4 m;
        return *kmMat4MakeIdentity(&m);
    }
};

}  // namespace

TEST_F(kmGLMatrixTest, FirstCallCreatesThreeIdentityStacksWithModelviewCurrent) {
    kmGLTranslate(1, 2, 3);
    kmMat4 expected;
    EXPECT_TRUE(matricesNear(*kmMat4MakeTranslation(&expected, 1, 2, 3), top(KM_GL_MODELVIEW), 0));
    EXPECT_TRUE(matricesNear(identity(), top(KM_GL_PROJECTION), 0));
    EXPECT_TRUE(matricesNear(identity(), top(KM_GL_TEXTURE), 0));

    // Each stack holds exactly one matrix: popping it is refused.
    for (uint32_t mode : {KM_GL_MODELVIEW, KM_GL_PROJECTION, KM_GL_TEXTURE}) {
        LogCapture capture;
        kmGLSetMatrixMode(mode);
        kmGLPop();
        EXPECT_TRUE(capture.contains("Lumora: kmGLPop")) << mode;
    }
    EXPECT_EQ(top(KM_GL_MODELVIEW).mat[12], 1);
}

TEST_F(kmGLMatrixTest, UnknownModesChangeNothing) {
    kmGLSetMatrixMode(KM_GL_PROJECTION);
    kmGLSetMatrixMode(0x1703);
    kmGLScale(2, 2, 2);  // lands on the projection stack, still current
    EXPECT_EQ(top(KM_GL_PROJECTION).mat[0], 2);
    EXPECT_EQ(top(KM_GL_MODELVIEW).mat[0], 1);

    kmMat4 out;
    std::memset(&out, 0x5A, sizeof out);
    const kmMat4 before = out;
    kmGLGetMatrix(0x1703, &out);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
}

TEST_F(kmGLMatrixTest, DeepPushesKeepEveryMatrix) {
    // 29 nested pushes bring the modelview stack to 30 matrices, past its first block of 30.
    for (int depth = 1; depth <= 40; ++depth) {
        kmGLPush();
        kmGLTranslate(1, 0, 0);
        EXPECT_EQ(top(KM_GL_MODELVIEW).mat[12], float(depth));
    }
    for (int depth = 39; depth >= 0; --depth) {
        kmGLPop();
        EXPECT_EQ(top(KM_GL_MODELVIEW).mat[12], float(depth)) << depth;
    }
    LogCapture capture;
    kmGLPop();
    EXPECT_EQ(capture.lines().size(), 1u);
    EXPECT_TRUE(matricesNear(identity(), top(KM_GL_MODELVIEW), 0));
}

TEST_F(kmGLMatrixTest, GetReadsAnyStackWhateverIsCurrent) {
    kmMat4 projection;
    kmMat4MakePerspective(&projection, 60, 1.5f, 0.5f, 100);
    kmGLSetMatrixMode(KM_GL_PROJECTION);
    kmGLLoad(&projection);
    kmGLSetMatrixMode(KM_GL_MODELVIEW);
    kmGLTranslate(0, 0, -5);
    EXPECT_TRUE(matricesNear(projection, top(KM_GL_PROJECTION), 0));
    EXPECT_EQ(top(KM_GL_MODELVIEW).mat[14], -5);
}

TEST_F(kmGLMatrixTest, FreeThenAnyCallStartsAgain) {
    {
        LogCapture capture;
        kmGLPop();  // the first call initialises, then refuses
        EXPECT_TRUE(capture.contains("Lumora: kmGLPop"));
    }
    kmGLSetMatrixMode(KM_GL_TEXTURE);
    kmGLPush();
    kmGLScale(3, 3, 3);
    kmGLFreeStacks();
    kmGLFreeStacks();  // freeing twice is harmless
    kmGLSetIdentity();
    kmGLTranslate(7, 0, 0);  // modelview is current again
    EXPECT_EQ(top(KM_GL_MODELVIEW).mat[12], 7);
    EXPECT_TRUE(matricesNear(identity(), top(KM_GL_TEXTURE), 0));
    kmGLSetMatrixMode(KM_GL_TEXTURE);
    LogCapture capture;
    kmGLPop();  // one matrix again, so refused
    EXPECT_TRUE(capture.contains("Lumora: kmGLPop"));
}

TEST_F(kmGLMatrixTest, TransformsMultiplyOnTheRight) {
    const kmMat4 start = wellConditionedMatrix(5);
    kmGLLoad(&start);
    kmGLTranslate(1.5f, -2, 0.25f);
    kmMat4 translation, expected;
    kmMat4MakeTranslation(&translation, 1.5f, -2, 0.25f);
    kmMat4Multiply(&expected, &start, &translation);
    EXPECT_TRUE(matricesNear(expected, top(KM_GL_MODELVIEW), 0));

    kmMat4 rotation;
    const kmVec3 axis = {0, 0, 1};
    kmGLRotate(30, 0, 0, 5);
    kmMat4MakeRotationAxis(&rotation, &axis, 30 * 0.017453f);
    kmMat4Multiply(&expected, &expected, &rotation);
    EXPECT_TRUE(matricesNear(expected, top(KM_GL_MODELVIEW), 1e-6f));

    // Translate then scale: the scale acts first on a vertex.
    kmGLSetIdentity();
    kmGLTranslate(10, 0, 0);
    kmGLScale(2, 2, 2);
    kmGLMultiply(&translation);
    EXPECT_FLOAT_EQ(top(KM_GL_MODELVIEW).mat[12], 10 + 2 * 1.5f);
}
