// The node camera: its look-at matrix, when it is rebuilt, and how it acts on the model-view
// matrix.

#include <gtest/gtest.h>

#include <cfloat>

#include "engine/core/CCCamera.h"
#include "engine/core/CCNode.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/StringUtils.h"

namespace {

kmMat4 modelView() {
    kmMat4 top;
    kmGLGetMatrix(KM_GL_MODELVIEW, &top);
    return top;
}

class CCCameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        kmGLFreeStacks();
        kmGLSetMatrixMode(KM_GL_MODELVIEW);
    }
    void TearDown() override { kmGLFreeStacks(); }
};

TEST_F(CCCameraTest, ARestoredCameraChangesNothing) {
    const RefPtr<CCCamera> camera = makeRef<CCCamera>();
    float x = -1, y = -1, z = -1;
    camera->eyeX(&x, &y, &z);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(z, FLT_EPSILON);
    EXPECT_EQ(CCCamera::getZEye(), FLT_EPSILON);
    camera->upX(&x, &y, &z);
    EXPECT_EQ(y, 1);
    EXPECT_FALSE(camera->dirty());

    kmGLTranslate(3, 4, 0);
    camera->locate();
    const kmMat4 top = modelView();
    EXPECT_EQ(top.mat[12], 3);
    EXPECT_EQ(top.mat[13], 4);
    EXPECT_EQ(top.mat[14], 0);
    EXPECT_EQ(top.mat[0], 1);

    EXPECT_EQ(camera->description(), stringWithFormat("<CCCamera = %p | center = (0.00,0.00,0.00)>",
                                                      static_cast<const void*>(camera.get())));
}

TEST_F(CCCameraTest, MovingTheEyeDirtiesTheCameraUntilItIsLocated) {
    const RefPtr<CCCamera> camera = makeRef<CCCamera>();
    camera->setEyeX(0, 0, 10);
    EXPECT_TRUE(camera->dirty());

    // Looking down -z from 10 above the origin moves the world 10 away from the eye.
    kmGLTranslate(1, 0, 0);
    camera->locate();
    EXPECT_FALSE(camera->dirty());
    kmMat4 top = modelView();
    EXPECT_FLOAT_EQ(top.mat[12], 1);
    EXPECT_FLOAT_EQ(top.mat[14], -10);
    EXPECT_FLOAT_EQ(top.mat[0], 1);
    EXPECT_FLOAT_EQ(top.mat[10], 1);

    // Locating again multiplies by the same matrix once more.
    camera->locate();
    EXPECT_FLOAT_EQ(modelView().mat[14], -20);

    // Looking at a point to the right from the origin turns the world: +x goes to -z.
    camera->setEyeX(0, 0, 0);
    camera->setCenterX(5, 0, 0);
    float x, y, z;
    camera->centerX(&x, &y, &z);
    EXPECT_EQ(x, 5);
    EXPECT_TRUE(camera->dirty());
    kmGLSetIdentity();
    camera->locate();
    top = modelView();
    EXPECT_NEAR(top.mat[2], -1, 1e-6);  // row 2, column 0: x feeds -z
    EXPECT_NEAR(top.mat[0], 0, 1e-6);

    camera->restore();
    EXPECT_FALSE(camera->dirty());
    kmGLSetIdentity();
    camera->locate();
    top = modelView();
    kmMat4 identity;
    kmMat4MakeIdentity(&identity);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(top.mat[i], identity.mat[i]) << i;
}

TEST_F(CCCameraTest, NodesMakeCamerasOnFirstUse) {
    const RefPtr<CCNode> node = CCNode::node();
    CCCamera* camera = node->camera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(node->camera(), camera);
}

}  // namespace
