#include "game/objects/SimpleEffector.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/foundation/Random.h"
#include "support/PhysicsTestSupport.h"
#include "support/ValueBuilders.h"

using game::SimpleEffector;

namespace {

constexpr float kStep = 1.0f / 60.0f;

// A world without gravity and one ball of 1 kg at (0, 10) m.
class SimpleEffectorTest : public ::testing::Test {
protected:
    SimpleEffectorTest() : world_(b2Vec2(0, 0)) {
        ball_ = makeDynamicBall(&world_, b2Vec2(0, 10), 0.5f, 1.0f / (b2_pi * 0.25f));
    }

    // The ball's velocity after one push from the source and one step, from rest at (0, 10) m.
    b2Vec2 velocityAfterPush(const SimpleEffector& effector, b2Vec2 source) {
        ball_->SetTransform(b2Vec2(0, 10), 0);
        ball_->SetLinearVelocity(b2Vec2(0, 0));
        ball_->SetAngularVelocity(0);
        effector.applyFromWorldPosition(source, ball_);
        world_.Step(kStep, 8, 3);
        return ball_->GetLinearVelocity();
    }

    b2World world_;
    b2Body* ball_;
};

TEST_F(SimpleEffectorTest, EachModePushesTheWayItSays) {
    ASSERT_NEAR(ball_->GetMass(), 1, 1e-4);
    struct Case {
        Value data;
        b2Vec2 source;
        b2Vec2 velocity;  // m/s after one step of 1/60 s
    };
    const float v = 60 * kStep;  // a force of 60 N for one step
    const Case cases[] = {
        {dict({{"force", 60}, {"force_direction", "{0, 2}"}}), b2Vec2(5, 0), b2Vec2(0, 2 * v)},
        {dict({{"force_mode", "gravity_relative"}, {"force", 60}, {"force_direction", "{0, 1}"}}), b2Vec2(5, 0),
         b2Vec2(v, 0)},
        {dict({{"force_mode", "gravity_relative"}, {"force", 60}, {"force_direction", "{0, 1}"}}), b2Vec2(0, 5),
         b2Vec2(0, v)},
        {dict({{"force_mode", "attract"}, {"force", 60}, {"force_direction", "{9, 9}"}}), b2Vec2(0, 0),
         b2Vec2(0, -v)},
        {dict({{"force_mode", "repel"}, {"force", 60}}), b2Vec2(3, 6), b2Vec2(-0.6f * v, 0.8f * v)},
        {dict({{"force_mode", "repel"}, {"force", 60}}), b2Vec2(0, 10), b2Vec2(0, 0)},  // at the body: no push
        {dict({{"force_min", 60}, {"force_direction", "{0, 1}"}}), b2Vec2(5, 0), b2Vec2(0, 0)},  // lone bound
    };
    for (const Case& c : cases) {
        RefPtr<SimpleEffector> effector = SimpleEffector::simpleEffectorWithDictionary(c.data);
        const b2Vec2 velocity = velocityAfterPush(*effector, c.source);
        EXPECT_NEAR(velocity.x, c.velocity.x, 1e-3) << c.data.toXML();
        EXPECT_NEAR(velocity.y, c.velocity.y, 1e-3) << c.data.toXML();
    }
}

TEST_F(SimpleEffectorTest, ARotationOffsetTurnsWithinItsAbsoluteValue) {
    Random::seed(5);
    RefPtr<SimpleEffector> effector = SimpleEffector::simpleEffectorWithDictionary(
        dict({{"force", 60}, {"force_direction", "{1, 0}"}, {"force_rotation_offset", -30}}));
    float widest = 0;
    for (int i = 0; i < 200; ++i) {
        const b2Vec2 velocity = velocityAfterPush(*effector, b2Vec2(0, 0));
        const float angle = std::atan2(velocity.y, velocity.x);
        EXPECT_LE(std::fabs(angle), 0.5236f);
        widest = std::max(widest, std::fabs(angle));
    }
    EXPECT_GT(widest, 0.45f);
}

TEST_F(SimpleEffectorTest, ReversibleTorqueTurnsEitherWayAboutEvenlyAndStaticTargetsSleep) {
    Random::seed(9);
    RefPtr<SimpleEffector> effector =
        SimpleEffector::simpleEffectorWithDictionary(dict({{"torque", 5}, {"torque_reversable", true}}));
    int counterClockwise = 0;
    for (int i = 0; i < 400; ++i) {
        velocityAfterPush(*effector, b2Vec2(0, 0));
        if (ball_->GetAngularVelocity() > 0) ++counterClockwise;
    }
    EXPECT_GT(counterClockwise, 160);
    EXPECT_LT(counterClockwise, 240);

    b2BodyDef definition;
    definition.position.Set(4, 4);
    b2Body* ground = world_.CreateBody(&definition);
    RefPtr<SimpleEffector> push =
        SimpleEffector::simpleEffectorWithDictionary(dict({{"force", 60}, {"force_direction", "{1, 0}"}}));
    push->applyFromBody(ball_, ground);
    world_.Step(kStep, 8, 3);
    EXPECT_FALSE(ground->IsAwake());
    EXPECT_EQ(ground->GetPosition(), b2Vec2(4, 4));
}

}  // namespace
