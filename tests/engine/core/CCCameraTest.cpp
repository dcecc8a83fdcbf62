#include <gtest/gtest.h>

#include <cfloat>

#include "engine/core/CCCamera.h"
#include "engine/core/CCNode.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/StringUtils.h"
#include "tests/engine/core/math/MathTestSupport.h"

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
    EXPECT_EQ(z, FLT_EPSILON);
    EXPECT_FALSE(camera->dirty());

    kmGLTranslate(3, 4, 0);
    camera->locate();
    kmMat4 translation;
    EXPECT_TRUE(matricesNear(*kmMat4MakeTranslation(&translation, 3, 4, 0), modelView(), 0));

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
    kmMat4 expected;
    EXPECT_TRUE(matricesNear(*kmMat4MakeTranslation(&expected, 1, 0, -10), modelView(), 1e-6f));

    // Locating again multiplies by the same matrix once more.
    camera->locate();
    EXPECT_FLOAT_EQ(modelView().mat[14], -20);

    // Looking at a point to the right from the origin turns the world: +x goes to -z.
    camera->setEyeX(0, 0, 0);
    camera->setCenterX(5, 0, 0);
    EXPECT_TRUE(camera->dirty());
    kmGLSetIdentity();
    camera->locate();
    const kmMat4 turned = modelView();
    EXPECT_NEAR(turned.mat[2], -1, 1e-6);  // row 2, column 0: x feeds -z
    EXPECT_NEAR(turned.mat[0], 0, 1e-6);

    camera->restore();
    EXPECT_FALSE(camera->dirty());
    kmGLSetIdentity();
    camera->locate();
    EXPECT_TRUE(matricesNear(*kmMat4MakeIdentity(&expected), modelView(), 0));
}

TEST_F(CCCameraTest, NodesMakeCamerasOnFirstUse) {
    const RefPtr<CCNode> node = CCNode::node();
    CCCamera* camera = node->camera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(node->camera(), camera);
}

}  // namespace
