#include "game/objects/ObjectPhysics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/foundation/Log.h"
#include "tests/game/objects/ObjectTestWorld.h"

namespace {

using game::ObjectPhysics;

class ObjectPhysicsTest : public ObjectTestWorld {};

TEST_F(ObjectPhysicsTest, ABodyIsMadeWithItsFixturesAndShownByTheSprite) {
    GameObjectPhysicsData physics;
    physics.density = 2;
    physics.friction = 0.5f;
    physics.restitution = 0.25f;
    physics.linearDamping = 0.3f;
    const Value fixtures = array({dict({{"type", 0}, {"radius", 8}}),
                                  dict({{"type", 0}, {"radius", 4}, {"centre", "{16, 0}"}, {"is_sensor", true}})});
    RefPtr<PhysicsSprite> sprite = PhysicsSprite::node();
    b2Body* body =
        ObjectPhysics::createBodyWithFixtures(sprite.get(), b2_dynamicBody, CGPointMake(64, 32), 90, physics, fixtures,
                                              {-3, CollisionCategory::kFlyingEnemy, CollisionCategory::kBeeHead}, 2, 2);
    ASSERT_TRUE(body);
    EXPECT_EQ(sprite->body(), body);
    EXPECT_EQ(body->GetType(), b2_dynamicBody);
    EXPECT_FLOAT_EQ(body->GetPosition().x, 2);
    EXPECT_FLOAT_EQ(body->GetPosition().y, 1);
    EXPECT_NEAR(body->GetAngle(), M_PI / 2, 1e-6);
    EXPECT_FLOAT_EQ(body->GetLinearDamping(), 0.3f);
    int count = 0;
    for (const b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext(), ++count) {
        EXPECT_FLOAT_EQ(fixture->GetDensity(), 2);
        EXPECT_FLOAT_EQ(fixture->GetFriction(), 0.5f);
        EXPECT_FLOAT_EQ(fixture->GetRestitution(), 0.25f);
        EXPECT_EQ(fixture->GetFilterData().groupIndex, -3);
        EXPECT_EQ(fixture->GetFilterData().categoryBits, 0x0040);
        EXPECT_EQ(fixture->GetFilterData().maskBits, 0x0002);
        // Radii at twice the points, in metres: 8 x 2 / 32 and 4 x 2 / 32.
        const float radius = fixture->GetShape()->m_radius;
        EXPECT_FLOAT_EQ(radius, fixture->IsSensor() ? 0.25f : 0.5f);
    }
    EXPECT_EQ(count, 2);
}

TEST_F(ObjectPhysicsTest, ARefusedBodyLeavesTheSpriteAlone) {
    RefPtr<PhysicsSprite> sprite = PhysicsSprite::node();
    const int32 bodies = layer_->physicsWorld()->GetBodyCount();
    LogCapture log;
    EXPECT_FALSE(ObjectPhysics::createBodyWithFixtures(sprite.get(), b2_dynamicBody, CGPointMake(NAN, 0), 0,
                                                       GameObjectPhysicsData(), array({dict({{"radius", 8}})}),
                                                       {0, CollisionCategory::kScenery, CollisionMask::all()}));
    EXPECT_FALSE(sprite->body());
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(layer_->physicsWorld()->GetBodyCount(), bodies);
}

}  // namespace
