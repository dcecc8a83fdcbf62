#include "engine/core/CCCamera.h"

#include <gtest/gtest.h>

#include "engine/core/CCNode.h"
#include "engine/core/math/kmGLMatrix.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

kmMat4 modelView() {
    kmMat4 top;
    kmGLGetMatrix(KM_GL_MODELVIEW, &top);
    return top;
}

class CCCameraTest : public ::testing::Test {
protected:
    void SetUp() override { kmGLFreeStacks(); }
    void TearDown() override { kmGLFreeStacks(); }
};

TEST_F(CCCameraTest, LocateMultipliesTheLookAtMatrixInAndARestoredCameraChangesNothing) {
    const RefPtr<CCNode> node = CCNode::node();
    CCCamera* camera = node->camera();
    ASSERT_NE(camera, nullptr);
    const glm::mat4 translation = glm::translate(glm::mat4(1), {3, 4, 0});
    kmGLTranslate(3, 4, 0);
    camera->locate();
    EXPECT_TRUE(near(translation, modelView(), 0));

    // Looking from (2, 3, 10) at a point to the right, with a tilted up: the reference's view
    // matrix, multiplied on the right of what was there, and again on each locate.
    camera->setEyeX(2, 3, 10);
    camera->setCenterX(5, 0, 1);
    camera->setUpX(1, 1, 0);
    camera->locate();
    const glm::mat4 view = glm::lookAt(glm::vec3(2, 3, 10), {5, 0, 1}, {1, 1, 0});
    EXPECT_TRUE(near(translation * view, modelView(), 1e-5f));
    camera->locate();
    EXPECT_TRUE(near(translation * view * view, modelView(), 1e-4f));

    camera->restore();
    kmGLSetIdentity();
    camera->locate();
    EXPECT_TRUE(near(glm::mat4(1), modelView(), 0));
}

}  // namespace
