#include "game/core/PhysicsSystemMouse.h"

#include <gtest/gtest.h>

#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsSystemSearchPointQueryCallback.h"
#include "support/PhysicsTestSupport.h"

namespace {
class PhysicsSystemMouseTest : public ::testing::Test {
protected:
    void SetUp() override { system.createGroundBody(); }

    b2Body* staticBox(b2Vec2 at, bool sensor = false) {
        b2BodyDef definition;
        definition.position = at;
        b2Body* body = system.getWorld()->CreateBody(&definition);
        b2PolygonShape box;
        box.SetAsBox(0.5f, 0.5f);
        b2FixtureDef fixture;
        fixture.shape = &box;
        fixture.isSensor = sensor;
        body->CreateFixture(&fixture);
        return body;
    }

    PhysicsSystem system;
    b2World* world = system.getWorld();
};
}  // namespace

TEST_F(PhysicsSystemMouseTest, GrabsOnlyDynamicBodiesUnderThePointAndDragsThem) {
    PhysicsSystemMouse mouse(world, system.getGroundBody());
    b2Body* ball = makeDynamicBall(world, b2Vec2(0, 0), 0.5f);
    staticBox(b2Vec2(5, 0));
    b2Body* kinematic = makeDynamicBall(world, b2Vec2(-5, 0));
    kinematic->SetType(b2_kinematicBody);

    EXPECT_FALSE(mouse.mouseDown(b2Vec2(2, 2), 0));    // empty space
    EXPECT_FALSE(mouse.mouseDown(b2Vec2(5, 0), 0));    // static
    EXPECT_FALSE(mouse.mouseDown(b2Vec2(-5, 0), 0));   // kinematic
    for (int32_t bad : {-1, 11}) {
        EXPECT_FALSE(mouse.mouseDown(b2Vec2(0, 0), bad));
        EXPECT_FALSE(mouse.mouseMove(b2Vec2(0, 0), bad));
        EXPECT_FALSE(mouse.mouseUp(bad));
        EXPECT_EQ(mouse.jointAt(bad), nullptr);
        EXPECT_EQ(mouse.bodyAt(bad), nullptr);
    }
    EXPECT_FALSE(mouse.active());

    ball->SetAwake(false);
    ASSERT_TRUE(mouse.mouseDown(b2Vec2(0.1f, 0), 3));
    EXPECT_TRUE(ball->IsAwake());
    EXPECT_EQ(mouse.bodyAt(3), ball);
    EXPECT_FLOAT_EQ(mouse.jointAt(3)->GetMaxForce(), 850 * ball->GetMass());
    // Pressing the same slot again replaces the joint.
    ASSERT_TRUE(mouse.mouseDown(b2Vec2(0, 0.1f), 3));
    EXPECT_EQ(mouse.jointCount(), 1);
    EXPECT_EQ(world->GetJointCount(), 1);

    EXPECT_TRUE(mouse.mouseMove(b2Vec2(3, 0), 3));
    for (int i = 0; i < 60; ++i) system.variableStep(PhysicsSystem::kFixedStep);
    EXPECT_NEAR(ball->GetPosition().x, 3, 0.1f);
    EXPECT_TRUE(mouse.mouseUp(3));
    EXPECT_FALSE(mouse.mouseUp(3));
    EXPECT_FALSE(mouse.active());
    EXPECT_EQ(world->GetJointCount(), 0);
}

TEST_F(PhysicsSystemMouseTest, DestroyingADraggedBodyEmptiesItsSlot) {
    auto mouse = std::make_unique<PhysicsSystemMouse>(world, system.getGroundBody());
    mouse->installDestructionListener();
    b2Body* first = makeDynamicBall(world, b2Vec2(0, 0));
    b2Body* second = makeDynamicBall(world, b2Vec2(3, 0));
    ASSERT_TRUE(mouse->mouseDown(b2Vec2(0, 0), 0));
    ASSERT_TRUE(mouse->mouseDown(b2Vec2(3, 0), 10));
    EXPECT_EQ(mouse->jointCount(), 2);
    world->DestroyBody(first);
    EXPECT_EQ(mouse->jointAt(0), nullptr);
    EXPECT_EQ(mouse->jointCount(), 1);
    EXPECT_TRUE(mouse->active());
    mouse.reset();  // lets go of the rest and takes its listener off the world
    EXPECT_EQ(world->GetJointCount(), 0);
    world->DestroyBody(second);
}

TEST_F(PhysicsSystemMouseTest, PointSearchFiltersByBodyTypeAndSensorFlag) {
    staticBox(b2Vec2(0, 0));
    staticBox(b2Vec2(0, 0), true);
    makeDynamicBall(world, b2Vec2(0, 0));
    const struct {
        int32_t bodyType;
        bool nonSensor, sensor;
        size_t found;
    } cases[] = {
        {-1, true, true, 3}, {-1, true, false, 2}, {-1, false, true, 1}, {-1, false, false, 0},
        {0, true, true, 2},  {2, true, true, 1},   {1, true, true, 0},
    };
    for (const auto& c : cases) {
        PhysicsSystemSearchPointQueryCallback search(b2Vec2(0.2f, 0.1f), c.bodyType, c.nonSensor, c.sensor, false);
        world->QueryAABB(&search, search.aabb());
        EXPECT_EQ(search.fixtures().size(), c.found) << c.bodyType << c.nonSensor << c.sensor;
    }
    PhysicsSystemSearchPointQueryCallback first(b2Vec2(0.2f, 0.1f), true, true, true);
    world->QueryAABB(&first, first.aabb());
    EXPECT_NE(first.firstFixture(), nullptr);
    EXPECT_TRUE(first.fixtures().empty());
    PhysicsSystemSearchPointQueryCallback outside(b2Vec2(0.8f, 0.8f), true, true, false);
    world->QueryAABB(&outside, outside.aabb());
    EXPECT_TRUE(outside.fixtures().empty());
}
