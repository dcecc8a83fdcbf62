#include "game/core/PhysicsSprite.h"

#include <gtest/gtest.h>

#include "game/core/PhysicsSystem.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/PhysicsTestSupport.h"

namespace {
class PhysicsSpriteTest : public GLSceneTest {
protected:
    void TearDown() override {
        PhysicsSprite::setAutoDestroyAllBodies(true);
        GLSceneTest::TearDown();
    }

    b2World world{b2Vec2(0, 0)};
};
}  // namespace

TEST_F(PhysicsSpriteTest, BodyAndNodePosesConvertBothWays) {
    RefPtr<PhysicsSprite> sprite = PhysicsSprite::node();
    ASSERT_NE(sprite, nullptr);
    b2Body* body = makeDynamicBall(&world, b2Vec2(1, 2));
    body->SetTransform(b2Vec2(1, 2), 1.5707964f);
    sprite->setBody(body);
    EXPECT_EQ(bindingOf(body), sprite->physicsSystemBinding());
    EXPECT_EQ(sprite->previousPosition().y, 2.0f);
    EXPECT_EQ(sprite->smoothedAngle(), 1.5707964f);

    sprite->setRotationOffset(10);
    sprite->synchronise();
    EXPECT_DOUBLE_EQ(sprite->position().x, 32);
    EXPECT_DOUBLE_EQ(sprite->position().y, 64);
    EXPECT_NEAR(sprite->rotation(), -80, 1e-4);

    sprite->setPosition(CGPointMake(16, -32));
    sprite->setRotationOffset(45);
    sprite->setRotation(45);
    sprite->synchroniseBody();
    EXPECT_FLOAT_EQ(body->GetPosition().x, 0.5f);
    EXPECT_FLOAT_EQ(body->GetPosition().y, -1.0f);
    EXPECT_FLOAT_EQ(body->GetAngle(), 0.0f);
    EXPECT_FLOAT_EQ(sprite->previousPosition().x, 0.5f);
    EXPECT_FLOAT_EQ(sprite->smoothedPosition().y, -1.0f);

    // Smoothed pose to node.
    sprite->setSmoothedPosition(b2Vec2(-2, 0.5f), 0);
    sprite->synchroniseSmoothed();
    EXPECT_DOUBLE_EQ(sprite->position().x, -64);
    EXPECT_NEAR(sprite->rotation(), 45, 1e-5);
}

TEST_F(PhysicsSpriteTest, BodySettersKeepWhatIsNotGivenAndResetBothPoses) {
    RefPtr<PhysicsSprite> sprite = PhysicsSprite::node();
    b2Body* body = makeDynamicBall(&world, b2Vec2(3, 4));
    body->SetTransform(b2Vec2(3, 4), 0.25f);
    sprite->setBody(body);
    sprite->setPreviousPosition(b2Vec2(9, 9), 9);

    sprite->setBodyX(7);
    EXPECT_EQ(body->GetPosition(), b2Vec2(7, 4));
    EXPECT_EQ(body->GetAngle(), 0.25f);
    EXPECT_EQ(sprite->previousPosition(), b2Vec2(7, 4));
    EXPECT_EQ(sprite->smoothedPosition(), b2Vec2(7, 4));
    EXPECT_EQ(sprite->previousAngle(), 0.25f);
    sprite->setBodyAngle(1);
    EXPECT_EQ(body->GetPosition(), b2Vec2(7, 4));
    sprite->setBodyPosition(b2Vec2(1, 1), 2);
    EXPECT_EQ(sprite->bodyX(), 1.0f);
    EXPECT_EQ(sprite->bodyAngle(), 2.0f);

    LogCapture log;
    sprite->setBodyX(NAN);
    sprite->setBodyPosition(b2Vec2(INFINITY, 0), 0);
    EXPECT_EQ(body->GetPosition(), b2Vec2(1, 1));
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST_F(PhysicsSpriteTest, RebindingAndUnbindingClearTheOldUserDataOnly) {
    RefPtr<PhysicsSprite> sprite = PhysicsSprite::node();
    b2Body* first = makeDynamicBall(&world, b2Vec2(1, 1));
    b2Body* second = makeDynamicBall(&world, b2Vec2(2, 2));
    sprite->setBody(first);
    sprite->setBody(second);
    EXPECT_EQ(bindingOf(first), nullptr);
    EXPECT_EQ(bindingOf(second), sprite->physicsSystemBinding());
    EXPECT_EQ(world.GetBodyCount(), 2);

    sprite->setPreviousPosition(b2Vec2(5, 5), 1);
    sprite->setBody(nullptr);
    EXPECT_EQ(bindingOf(second), nullptr);
    EXPECT_EQ(sprite->previousPosition(), b2Vec2(5, 5));
}

TEST_F(PhysicsSpriteTest, TeardownDestroysTheBodyOnlyWhenBothFlagsAllow) {
    const struct {
        bool all;
        bool own;
        int bodiesLeft;
        bool userDataCleared;
    } cases[] = {
        {true, true, 0, true},
        {true, false, 1, true},    // the body stays, without a dangling binding
        {false, true, 1, false},   // the world may be gone: the body is not touched at all
    };
    for (const auto& c : cases) {
        b2World fresh(b2Vec2(0, 0));
        b2Body* body = makeDynamicBall(&fresh, b2Vec2(0, 0));
        {
            RefPtr<PhysicsSprite> sprite = PhysicsSprite::node();
            sprite->setBody(body);
            sprite->setAutoDestroyBody(c.own);
            PhysicsSprite::setAutoDestroyAllBodies(c.all);
        }
        EXPECT_EQ(fresh.GetBodyCount(), c.bodiesLeft);
        if (c.bodiesLeft) {
            EXPECT_EQ(bindingOf(body) == nullptr, c.userDataCleared);
        }
        // Every new sprite allows destruction again.
        EXPECT_NE(PhysicsSprite::node(), nullptr);
        EXPECT_TRUE(PhysicsSprite::autoDestroyAllBodies());
    }
}

TEST_F(PhysicsSpriteTest, FollowsItsBodyThroughTheSystemAndDestroysItOnRequest) {
    PhysicsSystem system;
    RefPtr<PhysicsSprite> sprite = PhysicsSprite::node();
    b2Body* body = makeDynamicBall(system.getWorld(), b2Vec2(0, 0));
    body->SetLinearVelocity(b2Vec2(3.2f, 0));
    sprite->setBody(body);
    system.useSynchronisableList();
    system.addSynchronisableBody(body);
    for (int i = 0; i < 60; ++i) system.update(1.0f / 60);
    EXPECT_NEAR(sprite->position().x, body->GetPosition().x * 32 - 3.2 * 32 / 60, 0.5);
    system.removeSynchronisableBody(body);
    sprite->destroyBody();
    EXPECT_EQ(sprite->body(), nullptr);
    EXPECT_EQ(system.getWorld()->GetBodyCount(), 0);
}
