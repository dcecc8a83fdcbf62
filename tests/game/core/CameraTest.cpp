#include "game/core/Camera.h"

#include <gtest/gtest.h>

namespace {

TEST(CameraTest, InverseUndoesTheCameraTransform) {
    const struct {
        CGPoint position;
        float rotation;
        float scale;
    } cases[] = {{{0, 0}, 0, 1}, {{100, -40}, 30, 1.5f}, {{-7, 1200}, -135, 1.25f}};
    for (const auto& c : cases) {
        RefPtr<Camera> camera = makeRef<Camera>(c.position, c.rotation, c.scale);
        EXPECT_NEAR(camera->inverseRotation(), -c.rotation, 1e-3);
        EXPECT_NEAR(camera->inverseScale(), c.scale, 1e-5);
        // A world point through the inverse and back again.
        const CGPoint world = CGPointMake(321, -45);
        const CGPoint inCamera = CGPointApplyAffineTransform(world, camera->inverseTransform());
        const CGPoint back = CGPointApplyAffineTransform(inCamera, camera->transform());
        EXPECT_NEAR(back.x, world.x, 1e-6);
        EXPECT_NEAR(back.y, world.y, 1e-6);
        // The camera's own position is the origin of camera space.
        const CGPoint origin = CGPointApplyAffineTransform(c.position, camera->inverseTransform());
        EXPECT_NEAR(origin.x, 0, 1e-6);
        EXPECT_NEAR(origin.y, 0, 1e-6);
    }
}

TEST(CameraTest, ASetterIsSeenByTheNextRead) {
    RefPtr<Camera> camera = makeRef<Camera>();
    EXPECT_EQ(camera->inverseTranslation(), CGPointZero);
    camera->setPosition(CGPointMake(10, 20), 0, 2);
    EXPECT_EQ(camera->inverseTranslation(), CGPointMake(-20, -40));
    camera->setScale(1);
    EXPECT_EQ(camera->inverseTranslation(), CGPointMake(-10, -20));
}

}  // namespace
