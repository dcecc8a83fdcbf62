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
        if (box) {
            drawer.DrawAABB(box, b2Color(1, 1, 0));
            return;
        }
        drawer.DrawCircle(b2Vec2(0, 0), 1, b2Color(1, 0, 0));
        // 1.5 m to 3.5 m across, 2 m high: 48 to 112 points right of the centre.
        const b2Vec2 box[4] = {{1.5f, -1}, {3.5f, -1}, {3.5f, 1}, {1.5f, 1}};
        drawer.DrawSolidPolygon(box, 4, b2Color(0, 1, 0));
        drawer.DrawPoint(b2Vec2(-2, -2), 5, b2Color(0, 0, 1));
    }
    b2World* world = nullptr;
    const b2AABB* box = nullptr;  // drawn alone when set
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

TEST_F(GLESDebugDrawTest, ABoundingBoxIsItsOutlineThroughTheFourCorners) {
    // 3 m left to 2 m right, 2 m below to 1.5 m above the centre: 96 to 64 points, 64 to 48.
    b2AABB box;
    box.lowerBound.Set(-3, -2);
    box.upperBound.Set(2, 1.5f);
    node->box = &box;
    runFrames(1);
    const int cx = kWidth / 2, cy = kHeight / 2;
    const ccColor3B yellow = {255, 255, 0}, black = {0, 0, 0};
    // Each side, sampled away from the corners (a line may land on either pixel of its edge).
    const auto onSide = [&](int x, int y, int dx, int dy) {
        return pixelNear(x, y, yellow) || pixelNear(x - dx, y - dy, yellow);
    };
    for (int along : {-40, 0, 30}) {
        EXPECT_TRUE(onSide(cx + along, cy - 64, 0, 1)) << "bottom at " << along;
        EXPECT_TRUE(onSide(cx + along, cy + 48, 0, 1)) << "top at " << along;
    }
    for (int along : {-40, 0, 30}) {
        EXPECT_TRUE(onSide(cx - 96, cy + along, 1, 0)) << "left at " << along;
        EXPECT_TRUE(onSide(cx + 64, cy + along, 1, 0)) << "right at " << along;
    }
    // Only the outline: nothing about the middle or on either diagonal (as corners in another order
    // would draw), nor just outside.
    const int clear[][2] = {{-16, -8}, {-56, -36}, {24, 20}, {24, -36}, {-56, 20}, {0, -70}, {70, 0}};
    for (const auto& at : clear) {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) EXPECT_TRUE(pixelNear(cx + at[0] + dx, cy + at[1] + dy, black));
        }
    }
    EXPECT_EQ(node->drawCalls, 1u);
}
