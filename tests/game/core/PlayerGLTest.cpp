// The bee: its rig, forces and switches, its animation and its frame's economy (drinking, enemy
// sensors, the hive, the end-of-day summary), facing and hiding.

#include "game/core/Player.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/support/CCArray.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "platform/foundation/Random.h"
#include "support/GLSceneTest.h"
#include "game/core/BeeTestSupport.h"
#include "game/core/PlayerSwarm.h"

namespace {

constexpr float kFrame = 1.0f / 60;

class PlayerGLTest : public BeeFixture<GLSceneTest> {
protected:
    b2Filter headFilter() { return bee()->beeHeadFixture()->GetFilterData(); }
    static bool same(b2Filter filter, Player::FilterBits bits) {
        const b2Filter expected = filterFor(bits);
        return filter.categoryBits == expected.categoryBits && filter.maskBits == expected.maskBits &&
               filter.groupIndex == expected.groupIndex;
    }
    // Turns the head (and its sprite) to the angle, radians counter-clockwise.
    void turnHead(float radians) {
        bee()->vantrelBody()->SetTransform(bee()->vantrelBody()->GetPosition(), radians);
        bee()->vantrel()->synchronise();
    }
};

TEST_F(PlayerGLTest, ANewBeeIsRiggedFacingRightAtTheSpawnPoint) {
    EXPECT_EQ(Player::currentPlayer(), bee());
    const b2Vec2 head = bee()->vantrelBody()->GetPosition();
    EXPECT_FLOAT_EQ(head.x, 0);
    EXPECT_FLOAT_EQ(head.y, 10);
    struct Part {
        b2Body* body;
        float x, y, angle;
    };
    for (const Part& part : {Part{bee()->bodyBody(), -0.4375f, 10, 0}, Part{bee()->antennaeRightBody(), 0, 10.4375f, 0},
                             Part{bee()->antennaeLeftBody(), 0, 9.5625f, 3.14159265f}}) {
        EXPECT_FLOAT_EQ(part.body->GetPosition().x, part.x);
        EXPECT_FLOAT_EQ(part.body->GetPosition().y, part.y);
        EXPECT_FLOAT_EQ(part.body->GetAngle(), part.angle);
        EXPECT_FALSE(part.body->IsSleepingAllowed());
        EXPECT_TRUE(same(part.body->GetFixtureList()->GetFilterData(), Player::kPartFilter));
    }
    EXPECT_TRUE(same(headFilter(), Player::kHeadNormalFilter));
    EXPECT_TRUE(same(bee()->beeSensorFixture()->GetFilterData(), Player::kSensorNormalFilter));
    EXPECT_TRUE(bee()->beeSensorFixture()->IsSensor());
    EXPECT_EQ(bindingOf(bee()->beeSensorFixture())->type, BindingType::kBee);
    EXPECT_FLOAT_EQ(bee()->vantrelBody()->GetLinearDamping(), 3.75f);

    EXPECT_FLOAT_EQ(bee()->headBodyJoint()->GetUpperLimit(), 0.4712389f);
    EXPECT_FLOAT_EQ(bee()->headAntennaeRightJoint()->GetLowerLimit(), -0.9424778f);
    EXPECT_FLOAT_EQ(bee()->headAntennaeLeftJoint()->GetReferenceAngle(), 3.14159265f);
    EXPECT_FLOAT_EQ(bee()->headBodyJoint()->GetMaxMotorTorque(), 10);

    EXPECT_TRUE(bee()->vantrelFacingRight());
    EXPECT_TRUE(bee()->beeAntennaeRightSprite()->visible());
    EXPECT_FALSE(bee()->beeAntennaeLeftSprite()->visible());
    EXPECT_TRUE(bee()->beeAntennaeLeftSprite()->flipX());
    // Back wing, body, front wing, head, right and left antenna, in drawing order.
    const std::vector<CCNode*> order = {bee()->beeWingBackSprite(), bee()->beeBodySprite(), bee()->beeWingFrontSprite(),
                                        bee()->vantrel(), bee()->beeAntennaeRightSprite(),
                                        bee()->beeAntennaeLeftSprite()};
    CCArray* children = bee()->playerHolder()->children();
    ASSERT_EQ(children->count(), order.size());
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(children->objectAtIndex(i), order[i]);
    player_.reset();
    EXPECT_EQ(Player::currentPlayer(), nullptr);
}

TEST_F(PlayerGLTest, WithoutItsSheetTheBeeIsRefused) {
    CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrames();
    TemporaryFolder empty;
    ScopedResourceFolder elsewhere(empty.path());
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    auto other = makeRef<Player>();
    EXPECT_FALSE(other->init(&world(), &world()));
}

TEST_F(PlayerGLTest, SwitchesActOnlyOnAChange) {
    bee()->setCanFlyThroughWorld(true);
    EXPECT_TRUE(same(headFilter(), Player::kHeadNoHitFilter));
    // A second YES leaves whatever filter the head has alone.
    bee()->beeHeadFixture()->SetFilterData(b2Filter());
    bee()->setCanFlyThroughWorld(true);
    EXPECT_EQ(headFilter().maskBits, 0xFFFF);
    bee()->setCanFlyThroughWorld(false);
    EXPECT_TRUE(same(headFilter(), Player::kHeadNormalFilter));

    bee()->setCanSenseWorld(false);
    EXPECT_TRUE(same(bee()->beeSensorFixture()->GetFilterData(), Player::kSensorNoHitFilter));
    bee()->setCanSenseWorld(true);
    EXPECT_TRUE(same(bee()->beeSensorFixture()->GetFilterData(), Player::kSensorNormalFilter));

    bee()->setHasExtraLinearDrag(true);
    EXPECT_FLOAT_EQ(bee()->bodyBody()->GetLinearDamping(), 7.5f);
    bee()->setHasExtraLinearDrag(false);
    EXPECT_FLOAT_EQ(bee()->bodyBody()->GetLinearDamping(), 3.75f);
    EXPECT_FLOAT_EQ(bee()->vantrelBody()->GetLinearDamping(), 3.75f);
}

TEST_F(PlayerGLTest, PushesMoveTheHeadOnlyWithAForceAndADirection) {
    struct Case {
        CGPoint target;
        float force;
        bool moves;
    };
    const Case cases[] = {
        {{100, 320}, 0, false}, {{100, 320}, -5, false}, {{0, 320}, 50, false}, {{100, 320}, 50, true}};
    for (const Case& c : cases) {
        bee()->vantrelBody()->SetLinearVelocity({0, 0});
        bee()->pushTowardsPosition(c.target, c.force);
        world().physics.getWorld()->Step(kFrame, 4, 2);
        const b2Vec2 v = bee()->vantrelBody()->GetLinearVelocity();
        EXPECT_EQ(v.x > 1e-4f, c.moves) << c.target.x << " force " << c.force;
    }
}

TEST_F(PlayerGLTest, JointsSpringBackAndSnapPastTheirLimits) {
    b2Body* body = bee()->bodyBody();
    struct Case {
        float angle;       // body part's angle, radians (the head's is 0)
        float expectAngle; // after correction
        float motorSpeed;
    };
    const Case cases[] = {
        {0.2356f, 0.2356f, -1.1780972f},
        {-0.6f, -0.23561947f, 2.3561945f},
        {0.6f, 0.23561947f, -2.3561945f},
    };
    for (const Case& c : cases) {
        body->SetTransform(body->GetPosition(), c.angle);
        bee()->updateBeeComponents();
        EXPECT_NEAR(body->GetAngle(), c.expectAngle, 1e-5) << c.angle;
        EXPECT_NEAR(bee()->headBodyJoint()->GetMotorSpeed(), c.motorSpeed, 1e-4) << c.angle;
    }
    // The left antenna rests at pi and snaps back by its whole limit.
    b2Body* left = bee()->antennaeLeftBody();
    left->SetTransform(left->GetPosition(), 3.14159265f + 1.0f);
    bee()->updateBeeComponents();
    EXPECT_NEAR(left->GetAngle(), 3.14159265f + 0.9424778f, 1e-5);
}

TEST_F(PlayerGLTest, WingsBeatFasterWhenSteeredAndBlinksComeAndGo) {
    bee()->wingFlap(0.05f);  // pi at rest: closed
    EXPECT_NEAR(bee()->wingFlapAngle(), 3.14159265f, 1e-5);
    EXPECT_NEAR(bee()->wingFlapPerc(), 0, 1e-6);
    world().accelerationPerc = 1;
    bee()->wingFlap(0.025f);  // 40 pi rad/s: another pi, open
    EXPECT_NEAR(bee()->wingFlapPerc(), 1, 1e-5);
    EXPECT_NEAR(bee()->beeWingFrontSprite()->rotation(), bee()->beeBodySprite()->rotation() - 45, 1e-3);

    Random::seed(7);
    bee()->blink(0, true);
    EXPECT_TRUE(bee()->blinking());
    EXPECT_GE(bee()->blinkDelay(), 0.1f);
    EXPECT_LE(bee()->blinkDelay(), 0.14f);
    bee()->blink(0.05f, false);
    EXPECT_TRUE(bee()->blinking());
    bee()->blink(0.1f, false);
    EXPECT_FALSE(bee()->blinking());
    // Next blink: a double blink (0.1 to 0.14 s) or a pause of 1.5 to 4.5 s.
    const float delay = bee()->blinkDelay();
    EXPECT_TRUE((delay >= 0.1f && delay <= 0.14f) || (delay >= 1.5f && delay <= 4.5f)) << delay;
    bee()->updatePaused(delay);
    EXPECT_TRUE(bee()->blinking());
}

TEST_F(PlayerGLTest, DrinkingCreditsTheBuddyShareAndEndsOnAnEmptyFrame) {
    auto plenty = makeRef<FakeFlower>(10000000);
    auto second = makeRef<FakeFlower>(20000);
    auto& touching = world().listener.flowersInContact();
    touching = {plenty.get()};
    bee()->update(kFrame);
    EXPECT_EQ(plenty->asks, std::vector<uint32_t>{16666});
    EXPECT_EQ(bee()->droplets(), 16666u);
    EXPECT_TRUE(bee()->isConsumingNectar());

    bee()->setDroplets(0);
    for (int i = 0; i < 3; ++i) bee()->swarm()->addBuddyAt(bee()->position(), 0);
    touching = {plenty.get(), second.get()};
    bee()->update(kFrame);
    EXPECT_EQ(plenty->droplets(), 10000000u - 2 * 16666);
    EXPECT_EQ(second->droplets(), 20000u - 16666);
    EXPECT_EQ(bee()->droplets(), 2u * 21665);

    // The second flower gives its last 3334, then nothing: the streak goes on while any flower
    // gives, and ends on the first frame in which none does.
    touching = {second.get()};
    bee()->update(kFrame);
    EXPECT_TRUE(bee()->isConsumingNectar());
    bee()->update(kFrame);
    EXPECT_FALSE(bee()->isConsumingNectar());
    EXPECT_EQ(world().flowerContacts.back(), false);
}

TEST_F(PlayerGLTest, EnemySensorsTakeAtMostTheNectarCarriedAndNeverANegativeSum) {
    struct Case {
        std::vector<uint32_t> penalties;
        uint64_t before, after;
        bool particles;
    };
    const Case cases[] = {
        {{50000, 60000}, 300000, 190000, true},
        {{900000}, 250000, 0, true},
        {{90000}, 250000, 160000, false},         // under one unit: no particles
        {{0xFFFFFFFFu}, 250000, 250000, false},  // -1 as a 32-bit sum
        {{0x80000000u, 0x80000000u}, 250000, 250000, false},  // wraps to 0
    };
    for (const Case& c : cases) {
        std::vector<FakeEnemy> enemies(c.penalties.begin(), c.penalties.end());
        auto& sensors = world().listener.contactSensors();
        sensors.clear();
        for (FakeEnemy& enemy : enemies) sensors.push_back(&enemy);
        world().emitted.clear();
        bee()->setDroplets(c.before);
        bee()->update(kFrame);
        EXPECT_EQ(bee()->droplets(), c.after) << c.penalties[0];
        EXPECT_EQ(!world().emitted.empty(), c.particles) << c.penalties[0];
        sensors.clear();
    }
}

TEST_F(PlayerGLTest, TheHivePoursAtOneHundredFiftyPerSecondWithAFreshBonusEachVisit) {
    bee()->setDroplets(1000000);
    world().timeOfDayPerc = 0.4f;
    world().hive.activate();
    bee()->update(kFrame);
    EXPECT_EQ(bee()->droplets(), 750000u);
    EXPECT_FLOAT_EQ(bee()->transferBonusMultiplier(), 0.6f);
    // 0.6 as 1 - 0.4 in single precision is a hair under: 149999 bonus droplets.
    EXPECT_NEAR(bee()->transferDropletsBonus(), 150000, 1);
    EXPECT_NEAR(bee()->hiveDroplets(), 400000, 1);
    EXPECT_TRUE(bee()->isTransferringNectar());

    world().hive.deactivate();
    bee()->update(kFrame);
    EXPECT_EQ(world().hiveEnds, 1);
    EXPECT_FALSE(bee()->isTransferringNectar());

    world().timeOfDayPerc = 0.5f;
    world().hive.activate();
    for (int i = 0; i < 3; ++i) bee()->update(kFrame);
    EXPECT_FLOAT_EQ(bee()->transferBonusMultiplier(), 0.5f);
    EXPECT_EQ(bee()->droplets(), 0u);
    EXPECT_NEAR(bee()->hiveDroplets(), 400000 + 750000 + 375000, 1);
    EXPECT_FALSE(bee()->isTransferringNectar());
    EXPECT_EQ(world().hiveBegins, 2);
    EXPECT_EQ(world().summaryCompletions, 0);
}

TEST_F(PlayerGLTest, TheSummaryCompletesOnceWhenTheLastNectarIsPoured) {
    bee()->setDroplets(300000);
    bee()->setShowStatsMessages(true);
    world().hive.activate();
    bee()->update(kFrame);
    EXPECT_EQ(world().summaryCompletions, 0);
    for (int i = 0; i < 5; ++i) bee()->update(kFrame);
    EXPECT_EQ(world().summaryCompletions, 1);
    EXPECT_TRUE(bee()->finalNectarTransferComplete());
}

TEST_F(PlayerGLTest, TheBeeTurnsPastOneHundredFiveDegreesAndBackBelowSeventyFive) {
    // Upright at the top of the planet; the head's rotation is minus its angle.
    struct Step {
        float degrees;  // counter-clockwise from upright
        bool facingRight;
    };
    const Step steps[] = {{104, true}, {106, false}, {76, false}, {74, true}, {-106, false}, {0, true}};
    for (const Step& step : steps) {
        turnHead(step.degrees * 0.017453292f);
        bee()->update(kFrame);
        EXPECT_EQ(bee()->vantrelFacingRight(), step.facingRight) << step.degrees;
        EXPECT_EQ(bee()->vantrel()->flipY(), !step.facingRight);
        EXPECT_EQ(bee()->beeBodySprite()->scaleY(), step.facingRight ? 1 : -1);
        EXPECT_EQ(bee()->beeAntennaeLeftSprite()->visible(), !step.facingRight);
        EXPECT_EQ(bee()->beeWingBackSprite()->scaleY(), step.facingRight ? 1 : -1);
    }
}

TEST_F(PlayerGLTest, HidingFadesOverTenFramesAndShieldsTheHead) {
    world().hide.activate();
    bee()->update(kFrame);
    EXPECT_TRUE(same(headFilter(), Player::kHeadHiddenFilter));
    for (int i = 1; i < 10; ++i) bee()->update(kFrame);
    EXPECT_EQ(bee()->hidePerc(), 0);
    EXPECT_EQ(bee()->beeColour().r, 64);
    EXPECT_EQ(bee()->beeWingFrontSprite()->color().g, 64);

    world().hide.deactivate();
    bee()->update(kFrame);
    EXPECT_TRUE(same(headFilter(), Player::kHeadNormalFilter));
    for (int i = 1; i < 10; ++i) bee()->update(kFrame);
    EXPECT_EQ(bee()->hidePerc(), 1);
    EXPECT_EQ(bee()->vantrel()->color().b, 255);

    // Flying home, the head keeps its no-hit filter in hiding places and at the hive.
    bee()->setCanFlyThroughWorld(true);
    world().hive.activate();
    bee()->update(kFrame);
    EXPECT_TRUE(same(headFilter(), Player::kHeadNoHitFilter));
}

TEST(PlayerNectarTest, UnitsConvertToDropletsAndBadAmountsStoreNothingOrTheMost) {
    struct Case {
        float units;
        uint64_t droplets;
    };
    const Case cases[] = {{1.5f, 150000},
                          {0.000001f, 0},
                          {-3, 0},
                          {std::numeric_limits<float>::quiet_NaN(), 0},
                          {std::numeric_limits<float>::infinity(), UINT64_MAX}};
    auto bee = makeRef<Player>();
    for (const Case& c : cases) {
        bee->setNectar(c.units);
        bee->setHiveHoney(c.units);
        EXPECT_EQ(bee->droplets(), c.droplets) << c.units;
        EXPECT_EQ(bee->hiveDroplets(), c.droplets) << c.units;
    }
    bee->setNectar(1.5f);
    EXPECT_FLOAT_EQ(bee->nectar(), 1.5f);
}

}  // namespace
