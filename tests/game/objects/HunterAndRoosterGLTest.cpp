#include <gtest/gtest.h>

#include <cmath>

#include "engine/actions/CCActionManager.h"
#include "engine/core/CCDirector.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/Hunter.h"
#include "game/objects/Rooster.h"
#include "support/ValueBuilders.h"
#include "EnemyTestSupport.h"

using game::HitStatistic;
using game::Hunter;
using game::Rooster;
using namespace enemytest;

namespace {

constexpr uint32_t kPenalty = 40000;
const Value kBall = array({dict({{"type", 0}, {"radius", 16}})});

Value hornet(std::initializer_list<std::pair<const std::string, Value>> extra = {}) {
    Value type = dict({{"type_name", "hornet"}, {"nectar_penalty", 0.4}, {"fixtures", kBall},
                       {"chase_acceleration_force", 10}, {"idle_delay", 1}});
    for (const auto& [key, value] : extra) type.set(key, value);
    return type;
}

// Strike zones 24 pt either side of the rooster, as sensors; a strike of four frames of 0.1 s.
Value rooster(std::initializer_list<std::pair<const std::string, Value>> extra = {}) {
    Value type = dict(
        {{"type_name", "rooster"},
         {"nectar_penalty", 0.4},
         {"contact_delay", 1},
         {"fixtures", kBall},
         {"animation", dict({{"frame_count", 4}, {"frame_time", 0.1}})},
         {"strike_delay", 2},
         {"strike_enabled_delay", 0.1},
         {"strike_fixtures", array({dict({{"type", 0}, {"radius", 8}, {"centre", "{24, 0}"}, {"is_sensor", true}}),
                                    dict({{"type", 0}, {"radius", 8}, {"centre", "{-24, 0}"}, {"is_sensor", true}})})}});
    for (const auto& [key, value] : extra) type.set(key, value);
    return type;
}

class CreatureTest : public EnemyLevelTest {
protected:
    void SetUp() override {
        EnemyLevelTest::SetUp();
        registerEnemyKinds();
        for (int k = 1; k <= 4; ++k) addFrame("rooster_" + std::to_string(k) + ".png", CGSizeMake(40, 40));
    }
    // A frame of the rooster with its animation running as in a scene.
    void strikeFrame(Rooster* bird) {
        CCDirector::sharedDirector()->actionManager()->resumeTarget(bird->physicsSprite());
        CCDirector::sharedDirector()->actionManager()->update(kFrame);
        bird->update(kFrame);
    }
    static bool collides(const b2Fixture* fixture) { return fixture && fixture->GetFilterData().maskBits != 0; }
};

class HunterTest : public CreatureTest {};
class RoosterTest : public CreatureTest {};

TEST_F(HunterTest, ChasesWhereTheBeeWillBeInOneSecond) {
    ASSERT_TRUE(load(dict({{"240", hornet()}})));
    RefPtr<Hunter> hunter = Hunter::hunterWithType(240, CGPointMake(0, 1300), 0, 1, 1, Value());
    ASSERT_TRUE(hunter->getPrimaryBody());
    bee_.moveTo({100 / 32.0f, 1300 / 32.0f});
    bee_.head->body()->SetLinearVelocity({3, 0});
    hunter->visionContactPlayer();
    hunter->update(kFrame);
    EXPECT_EQ(hunter->state(), Hunter::State::kChase);
    EXPECT_NEAR(hunter->currentTarget().x, 196, 1e-3);
    EXPECT_NEAR(hunter->force().x, 10, 1e-3);
    hunter->update(kFrame);
    EXPECT_EQ(hunter->state(), Hunter::State::kIdle) << "sight lost";
    for (int i = 0; i < 61; ++i) hunter->update(kFrame);
    EXPECT_EQ(hunter->state(), Hunter::State::kHunt) << "idle for a second";
}

TEST_F(HunterTest, IgnoresTheBeeOnlyAfterEnoughStings) {
    struct Case {
        double amount;
        bool ignores;
    };
    for (const Case& c : {Case{2, true}, Case{0.6, false}}) {
        SCOPED_TRACE(c.amount);
        ASSERT_TRUE(load(dict({{"241", hornet({{"ignore_threshold", 1}, {"ignore_contact_amount", c.amount}})}})));
        recorder_.hits.clear();
        RefPtr<Hunter> hunter = Hunter::hunterWithType(241, CGPointMake(0, 1300), 0, 1, 1, Value());
        hunter->rules().setContactDelay(0);
        bool everIgnored = false;
        int stings = 0;
        for (int i = 0; i < 180; ++i) {
            stings += hunter->contactPlayer() == kPenalty ? 1 : 0;
            hunter->update(kFrame);
            everIgnored = everIgnored || hunter->isIgnoring();
        }
        EXPECT_EQ(everIgnored, c.ignores);
        EXPECT_EQ(stings, 3) << "one sting a contact delay";
        EXPECT_EQ(recorder_.totalHits(), 0) << "type 241 counts no hornet hits";
    }
    // Ignoring lasts about two seconds after a sting of 2, and hides the bee.
    ASSERT_TRUE(load(dict({{"240", hornet({{"ignore_threshold", 1}, {"ignore_contact_amount", 2}})}})));
    RefPtr<Hunter> hunter = Hunter::hunterWithType(240, CGPointMake(0, 1300), 0, 1, 1, Value());
    hunter->rules().setContactDelay(0);
    EXPECT_EQ(hunter->contactPlayer(), kPenalty);
    EXPECT_EQ(recorder_.hits[HitStatistic::kHornet], 1);
    hunter->update(kFrame);
    ASSERT_TRUE(hunter->isIgnoring());
    hunter->visionContactPlayer();
    hunter->update(kFrame);
    EXPECT_EQ(hunter->state(), Hunter::State::kHunt);
    for (int i = 0; i < 125; ++i) hunter->update(kFrame);
    EXPECT_FALSE(hunter->isIgnoring());
}

TEST_F(HunterTest, ItsTurretMirrorsWhenAimingLeftWithoutBeingAsked) {
    addFrame("gun.png", CGSizeMake(20, 10));
    ASSERT_TRUE(load(dict({{"240", hornet({{"turret_image_name", "gun"}})}})));
    RefPtr<Hunter> hunter = Hunter::hunterWithType(240, CGPointMake(0, 1300), 0, 1, 1, Value());
    ASSERT_TRUE(hunter->rules().turretSprite());
    for (float side : {-1.0f, 1.0f}) {
        SCOPED_TRACE(side);
        bee_.moveTo({side * 200 / 32.0f, 1300 / 32.0f});
        hunter->visionContactPlayer();
        EXPECT_EQ(hunter->rules().turretSprite()->scaleY(), side) << "upside down only when aiming left";
    }
}

TEST_F(HunterTest, FacingHoldsBetweenEightyAndHundredDegrees) {
    // At the top of the planet upright is 0 degrees; with no force and no torque the hornet keeps
    // the angle it is given.
    ASSERT_TRUE(load(dict({{"240", hornet({{"chase_acceleration_force", 0}})}})));
    RefPtr<Hunter> hunter = Hunter::hunterWithType(240, CGPointMake(0, 1300), 0, 1, 1, Value());
    b2Body* body = hunter->getPrimaryBody();
    struct Step {
        float degrees;
        bool facingRight;
    };
    for (const Step& step : {Step{90, true}, Step{99, true}, Step{100, false}, Step{85, false}, Step{81, false},
                             Step{80, true}, Step{-95, true}, Step{-101, false}}) {
        SCOPED_TRACE(step.degrees);
        body->SetTransform(body->GetPosition(), step.degrees / 57.29578f);
        hunter->physicsSprite()->synchronise();
        hunter->update(kFrame);
        EXPECT_EQ(hunter->facingRight(), step.facingRight);
        EXPECT_EQ(hunter->physicsSprite()->scaleY(), step.facingRight ? 1 : -1);
    }
}

TEST_F(RoosterTest, ABodyContactHurtsTurnsAndStrikes) {
    ASSERT_TRUE(load(dict({{"1006", rooster()}})));
    RefPtr<Rooster> bird = Rooster::roosterWithType(1006, CGPointMake(0, 1200), 0, 1, 1, Value());
    ASSERT_TRUE(bird && bird->getPrimaryBody());
    EXPECT_EQ(bird->getPrimaryBody()->GetType(), b2_staticBody);
    EXPECT_FALSE(collides(bird->strikeFixtureLeft()) || collides(bird->strikeFixtureRight()));
    bee_.moveTo({-50 / 32.0f, 1200 / 32.0f});
    bird->rules().setContactDelay(0);
    EXPECT_EQ(bird->contactPlayer(), kPenalty);
    EXPECT_TRUE(bird->isStriking());
    EXPECT_EQ(bird->physicsSprite()->scaleX(), -1) << "turned to the bee on its left";
    EXPECT_EQ(bird->rules().contactDelay(), 0) << "the strike may hurt at once";

    // Off for 0.1 s, on until half the 0.4 s strike, then off; the strike delay re-arms at its end.
    int frameOn = -1, frameOff = -1, frameEnd = -1;
    for (int i = 1; i <= 40 && frameEnd < 0; ++i) {
        strikeFrame(bird.get());
        if (frameOn < 0 && collides(bird->strikeFixtureLeft())) frameOn = i;
        if (frameOn > 0 && frameOff < 0 && !collides(bird->strikeFixtureLeft())) frameOff = i;
        if (!bird->isStriking()) frameEnd = i;
    }
    EXPECT_NEAR(frameOn, 6, 1);
    EXPECT_NEAR(frameOff, 13, 1);
    EXPECT_NEAR(frameEnd, 25, 1);
    EXPECT_FALSE(collides(bird->strikeFixtureRight())) << "only the side it faces";
    EXPECT_NEAR(bird->strikeDelay(), 2, 1e-3);
    bird->visionContactPlayer();
    EXPECT_FALSE(bird->isStriking()) << "not before the strike delay";
    for (int i = 0; i < 121; ++i) bird->update(kFrame);
    bird->visionContactPlayer();
    EXPECT_TRUE(bird->isStriking());
}

TEST_F(RoosterTest, AMirroredRoosterStrikesWithItsSecondZone) {
    ASSERT_TRUE(load(dict({{"1012", rooster({{"strike_enabled_delay", 0}})}})));
    RefPtr<Rooster> bird = Rooster::roosterWithType(1012, CGPointMake(0, 1200), 0, -1, 1, Value());
    bee_.moveTo({50 / 32.0f, 1200 / 32.0f});
    bird->strike();
    EXPECT_EQ(bird->physicsSprite()->scaleX(), 1);
    strikeFrame(bird.get());
    EXPECT_TRUE(collides(bird->strikeFixtureLeft())) << "entry 1";
    EXPECT_FALSE(collides(bird->strikeFixtureRight()));
    EXPECT_EQ(bird->sensorContactPlayer(), kPenalty);
    EXPECT_EQ(recorder_.hits[HitStatistic::kGround], 1);
}

TEST_F(RoosterTest, MissingStrikeZonesAreSkippedAndAZeroScaleIsRefused) {
    Value oneZone = rooster({{"strike_enabled_delay", 0}});
    oneZone.set("strike_fixtures", array({dict({{"type", 0}, {"radius", 8}, {"centre", "{24, 0}"}})}));
    ASSERT_TRUE(load(dict({{"1006", oneZone}, {"1012", rooster()}})));
    RefPtr<Rooster> bird = Rooster::roosterWithType(1006, CGPointMake(0, 1200), 0, 1, 1, Value());
    ASSERT_TRUE(bird && bird->strikeFixtureRight());
    EXPECT_FALSE(bird->strikeFixtureLeft());
    bee_.moveTo({-50 / 32.0f, 1200 / 32.0f});
    bird->strike();
    for (int i = 0; i < 30; ++i) strikeFrame(bird.get());
    EXPECT_FALSE(bird->isStriking());
    EXPECT_FALSE(Rooster::roosterWithType(1012, CGPointMake(0, 1200), 0, 0, 1, Value()));
    EXPECT_FALSE(Rooster::roosterWithGameData(dict({{"type", 1012}, {"position", "{0, 1200}"}, {"scale", 0}})));
}

TEST_F(RoosterTest, NothingCostsAfterNightfall) {
    ASSERT_TRUE(load(dict({{"1006", rooster()}})));
    RefPtr<Rooster> bird = Rooster::roosterWithType(1006, CGPointMake(0, 1200), 0, 1, 1, Value());
    bird->onDayIsOver();
    bird->rules().setContactDelay(0);
    EXPECT_EQ(bird->sensorContactPlayer(), 0u);
    for (int i = 0; i < 180; ++i) bird->update(kFrame);
    bird->visionContactPlayer();
    EXPECT_FALSE(bird->isStriking());
}

}  // namespace
