#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/CCNode.h"
#include "engine/render/CCSprite.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Stamina.h"
#include "game/objects/GroundEnemy.h"
#include "game/objects/MovementOrbit.h"
#include "game/objects/RoboCam.h"
#include "support/ValueBuilders.h"
#include "EnemyTestSupport.h"

using game::EnemyRules;
using game::GroundEnemy;
using game::HitStatistic;
using game::RoboCam;
using namespace enemytest;

namespace {

const Value kBall = array({dict({{"type", 0}, {"radius", 16}})});
const Value kOrbit = dict({{"orbit", dict({{"orbit_speed", 200}})}});
// Reloads in 0.1 s: a shooter that may fire would have fired within the tests' seconds.
const Value kQuickShot = dict({{"type", 300}, {"delay", 0.1}, {"velocity", 320}});
const Value kShot = dict({{"type_name", "pellet"}, {"fixtures", array({dict({{"type", 0}, {"radius", 4}})})}});

class WalkerTest : public EnemyLevelTest {
protected:
    void SetUp() override {
        EnemyLevelTest::SetUp();
        registerEnemyKinds();
        GameObject::setMovementBuilders(nullptr, [](const Value& orbit, CCNode* node) -> RefPtr<MovementProtocol> {
            return game::MovementOrbit::movementOrbitFromDictionary(orbit, node);
        });
    }
};

class GroundEnemyTest : public WalkerTest {};
class RoboCamTest : public WalkerTest {};

TEST_F(GroundEnemyTest, ARestingWalkerStopsWithinAFrameAndWalksOnAfterItsRest) {
    // A fresh active stamina flips on its first update: the walker rests for 0.5 s at once.
    ASSERT_TRUE(load(dict({{"230", dict({{"type_name", "beetle"},
                                         {"contact_delay", 0},
                                         {"fixtures", kBall},
                                         {"stamina", dict({{"stamina", 10}, {"recovery", 0.5}})},
                                         {"movement", kOrbit}})}})));
    RefPtr<GroundEnemy> beetle = GroundEnemy::groundEnemyWithType(230, CGPointMake(0, 1016), 0, 1, 1, Value(), nullptr);
    b2Body* body = beetle->getPrimaryBody();
    ASSERT_TRUE(body && beetle->movement());
    level_->addEnemy(beetle.get());
    frame();
    EXPECT_FALSE(beetle->stamina()->active());
    const b2Vec2 rest = body->GetPosition();
    for (int i = 0; i < 20; ++i) frame();
    EXPECT_NEAR((body->GetPosition() - rest).Length(), 0, 1e-4) << "held by the auto-stop controller";
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_TRUE(beetle->stamina()->active());
    EXPECT_GT((body->GetPosition() - rest).Length(), 0.1f) << "walking on";
    EXPECT_EQ(beetle->contactPlayer(), 0u) << "penalty 0";
    EXPECT_EQ(recorder_.hits[HitStatistic::kGround], 1);
}

TEST_F(GroundEnemyTest, WithoutVisionATurretTracksTheBeeButNeverFires) {
    addFrame("stinger.png", CGSizeMake(12, 4));
    const Value turret = dict({{"type_name", "mantis"},
                               {"fixtures", kBall},
                               {"turret_image_name", "stinger"},
                               {"projectile", kQuickShot}});
    ASSERT_TRUE(load(dict({{"231", turret}, {"265", turret}, {"300", kShot}})));
    RefPtr<GroundEnemy> mantis = GroundEnemy::groundEnemyWithType(231, CGPointMake(0, 1016), 0, 1, 1, Value(), nullptr);
    RefPtr<RoboCam> camera = RoboCam::roboCamWithType(265, CGPointMake(200, 1016), 0, 1, 1, Value());
    ASSERT_EQ(mantis->getPrimaryBody()->GetType(), b2_staticBody) << "no movement: fixed";
    level_->addEnemy(mantis.get());
    level_->addEnemy(camera.get());
    bee_.moveTo({100 / 32.0f, 1116 / 32.0f});  // up and to the right of the mantis
    for (int i = 0; i < 120; ++i) frame();
    EXPECT_NEAR(mantis->rules().turretSprite()->rotation(), -45, 0.5);
    EXPECT_NEAR(camera->rules().turretSprite()->rotation() + camera->physicsSprite()->rotation(), -135, 1);
    EXPECT_EQ(level_->projectiles().count(), 0u);
}

TEST_F(GroundEnemyTest, AWeldedWalkerRidesItsBase) {
    ASSERT_TRUE(load(dict({{"232", dict({{"type_name", "ant"}, {"fixtures", kBall}})}})));
    b2BodyDef definition;
    definition.type = b2_kinematicBody;
    definition.position.Set(0, 1100 / 32.0f);
    b2Body* base = layer_->physicsWorld()->CreateBody(&definition);
    RefPtr<GroundEnemy> ant = GroundEnemy::groundEnemyWithType(232, CGPointMake(0, 1116), 0, 1, 1, Value(), base);
    b2Body* body = ant->getPrimaryBody();
    ASSERT_EQ(body->GetType(), b2_dynamicBody);
    base->SetLinearVelocity({3, 0});
    for (int i = 0; i < 60; ++i) layer_->physicsSystem()->update(kFrame);
    EXPECT_NEAR(body->GetPosition().x - base->GetPosition().x, 0, 0.05);
    EXPECT_NEAR(body->GetPosition().x, 3, 0.1);
}

TEST_F(RoboCamTest, ThePivotTakesTheShortTurnToItsNode) {
    ASSERT_TRUE(load(dict({{"265", dict({{"type_name", "camera"}, {"fixtures", kBall}, {"movement", kOrbit}})}})));
    RefPtr<RoboCam> camera = RoboCam::roboCamWithType(265, CGPointMake(0, 1300), -5, 1, 1, Value());
    b2Body* pivot = camera->pivotBody();
    ASSERT_TRUE(pivot && camera->movementNode());
    EXPECT_EQ(pivot->GetType(), b2_kinematicBody);
    camera->movementNode()->setPosition(CGPointMake(0, 1300));
    camera->movementNode()->setRotation(350);  // a body angle of +10 degrees
    EnemyRules::followNode(pivot, camera->movementNode(), nullptr);
    EXPECT_NEAR(pivot->GetAngularVelocity() / 60 * 57.29578f, 15, 1e-3);
}

TEST_F(RoboCamTest, TheJointLimitHoldsWhileThePivotTravels) {
    ASSERT_TRUE(load(dict({{"265", dict({{"type_name", "camera"},
                                         {"fixtures", array({dict({{"type", 0}, {"radius", 16},
                                                                   {"centre", "{40, 0}"}})})},
                                         {"pivot", dict({{"rotation_joint", dict({{"limit_enabled", true},
                                                                                  {"lower_angle", -30},
                                                                                  {"upper_angle", 30}})}})},
                                         {"movement", kOrbit}})}})));
    RefPtr<RoboCam> camera = RoboCam::roboCamWithType(265, CGPointMake(0, 1300), 0, 1, 1, Value());
    level_->addEnemy(camera.get());
    b2Body* body = camera->getPrimaryBody();
    float widest = 0;
    for (int i = 0; i < 600; ++i) {
        frame();
        widest = std::max(widest, std::fabs(body->GetAngle() - camera->pivotBody()->GetAngle()) * 57.29578f);
    }
    EXPECT_GT(widest, 20) << "gravity swung it against the limit";
    EXPECT_LT(widest, 34) << "within Box2D's angular slop of 2 degrees and a frame's overshoot";
    EXPECT_GT(std::fabs(camera->pivotBody()->GetPosition().x), 1) << "the pivot travelled";
}

TEST_F(RoboCamTest, AnActiveStaminaRestsFromTheFirstFrame) {
    ASSERT_TRUE(load(dict({{"265", dict({{"type_name", "camera"},
                                         {"fixtures", kBall},
                                         {"stamina", dict({{"stamina", 1}, {"recovery", 2}, {"active", true}})},
                                         {"movement", kOrbit}})}})));
    RefPtr<RoboCam> camera = RoboCam::roboCamWithType(265, CGPointMake(0, 1300), 0, 1, 1, Value());
    level_->addEnemy(camera.get());
    const CGPoint start = camera->movementNode()->position();
    for (int i = 0; i < 60; ++i) frame();
    EXPECT_FALSE(camera->stamina()->active());
    EXPECT_NEAR(camera->movementNode()->position().x, start.x, 1e-3) << "the pivot's movement is stopped";
    for (int i = 0; i < 70; ++i) frame();
    EXPECT_TRUE(camera->stamina()->active());
    EXPECT_GT(std::fabs(camera->movementNode()->position().x - start.x), 1);
}

}  // namespace
