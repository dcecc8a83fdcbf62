#include "game/core/GLESDebugDraw.h"

#include <gtest/gtest.h>

#include "game/core/PhysicsSystem.h"
#include "support/GLSceneTest.h"

namespace {

// Draws through the debug draw at the window's centre.
class DebugDrawNode : public CCNode {
public:
    void draw() override {
        if (world) {
            world->DebugDraw();
            return;
        }
        GLESDebugDraw drawer(32);
        drawer.DrawCircle(b2Vec2(0, 0), 1, b2Color(1, 0, 0));
        // 1.5 m to 3.5 m across, 2 m high: 48 to 112 points right of the centre.
        const b2Vec2 box[4] = {{1.5f, -1}, {3.5f, -1}, {3.5f, 1}, {1.5f, 1}};
        drawer.DrawSolidPolygon(box, 4, b2Color(0, 1, 0));
        drawer.DrawPoint(b2Vec2(-2, -2), 5, b2Color(0, 0, 1));
    }
    b2World* world = nullptr;
};

class GLESDebugDrawTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        node = makeRef<CountingDrawCalls<DebugDrawNode>>();
        node->setPosition(CGPointMake(kWidth / 2, kHeight / 2));
        scene_->addChild(node.get());
    }
    RefPtr<CountingDrawCalls<DebugDrawNode>> node;
};

}  // namespace

TEST_F(GLESDebugDrawTest, CircleOnThirtyTwoPointsAndSolidPolygonAtHalfColourUnderItsOutline) {
    runFrames(1);
    const int cx = kWidth / 2, cy = kHeight / 2;
    // The circle's first vertex lies 32 points right of the centre; its inside stays empty.
    EXPECT_TRUE(pixelNear(cx + 32, cy, {255, 0, 0}) || pixelNear(cx + 31, cy, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(cx, cy + 32, {255, 0, 0}) || pixelNear(cx, cy + 31, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(cx + 16, cy, {0, 0, 0}));
    // The polygon: half green inside, full green on its outline.
    EXPECT_TRUE(pixelNear(cx + 80, cy, {0, 128, 0}));
    EXPECT_TRUE(pixelNear(cx + 80, cy + 31, {0, 255, 0}) || pixelNear(cx + 80, cy + 32, {0, 255, 0}));
    EXPECT_TRUE(pixelNear(cx - 64, cy - 64, {0, 0, 255}));
    EXPECT_EQ(node->drawCalls, 4u);  // circle, fan and outline, point
}

TEST_F(GLESDebugDrawTest, ThePhysicsSystemsOwnDebugDrawShowsTheWorld) {
    PhysicsSystem system;
    system.enableDebugDraw();
    b2BodyDef definition;
    b2Body* body = system.getWorld()->CreateBody(&definition);
    b2CircleShape circle;
    circle.m_radius = 1;
    body->CreateFixture(&circle, 0);
    node->world = system.getWorld();
    runFrames(1);
    // Shapes, joints and bounding boxes: the static circle's fan and outline, and its box.
    EXPECT_EQ(node->drawCalls, 3u);
    EXPECT_FALSE(pixelNear(kWidth / 2 + 16, kHeight / 2, {0, 0, 0}));
    node->world = nullptr;
}
