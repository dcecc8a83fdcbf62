#include <gtest/gtest.h>

#include <cmath>

#include "game/core/PhysicsSprite.h"
#include "game/objects/Emitter.h"
#include "game/objects/Projectile.h"
#include "game/objects/ProjectileData.h"
#include "game/objects/SteamCloud.h"
#include "support/ValueBuilders.h"
#include "EnemyTestSupport.h"

using game::Emitter;
using game::HitStatistic;
using game::SteamCloud;
using namespace enemytest;

namespace {

constexpr uint32_t kPenalty = 30000;

const Value kSensorBall = array({dict({{"type", 0}, {"radius", 16}, {"is_sensor", true}})});
const Value kShot = dict({{"type_name", "pellet"}, {"fixtures", array({dict({{"type", 0}, {"radius", 4}})})}});

// A puff costing 0.3 nectar through a sensor ball of 16 pt; `extra` keys replace these.
Value puff(std::initializer_list<std::pair<const std::string, Value>> extra = {}) {
    Value type = dict({{"type_name", "steam"}, {"nectar_penalty", 0.3}, {"contact_delay", 0}, {"lifetime", 10},
                       {"fixtures", kSensorBall}});
    for (const auto& [key, value] : extra) type.set(key, value);
    return type;
}

// Two shots of type 300 straight up from the planet's surface.
Value spray(int count) {
    return dict({{"type", 300}, {"count", count}, {"velocity", 320}, {"direction_gravity_min", 90},
                 {"direction_gravity_max", 90}});
}

class PuffTest : public EnemyLevelTest {
protected:
    void SetUp() override {
        EnemyLevelTest::SetUp();
        registerEnemyKinds();
    }
    size_t shots() const { return level_->projectiles().count(); }
};

class SteamCloudTest : public PuffTest {};
class EmitterTest : public PuffTest {};

TEST_F(SteamCloudTest, GrowsDriftsOutwardsAndHasItsFixturesAtTheLargerScale) {
    ASSERT_TRUE(load(dict({{"209", puff({{"start_scale", 0.5}, {"end_scale", 2}, {"lifetime", 3}})}})));
    RefPtr<SteamCloud> steam = SteamCloud::steamCloudWithType(209, CGPointMake(300, 400), 0, 1, 1, Value());
    ASSERT_TRUE(steam && steam->getPrimaryBody());
    EXPECT_EQ(steam->getPrimaryBody()->GetType(), b2_kinematicBody);
    const b2Fixture* fixture = steam->getPrimaryBody()->GetFixtureList();
    ASSERT_TRUE(fixture);
    EXPECT_NEAR(fixture->GetShape()->m_radius * 32, 32, 1e-3) << "16 pt at scale 2 from the start";
    for (int i = 0; i < 90; ++i) steam->update(kFrame);
    EXPECT_NEAR(steam->scale(), 1.25f, 1e-3);
    EXPECT_NEAR(steam->physicsSprite()->scaleX(), 1.25f, 1e-3);
    // No "movement_speed": 100 pt/s away from the centre, the body kept with the sprite.
    EXPECT_NEAR(steam->physicsSprite()->position().x, 300 + 60 * 1.5, 0.1);
    EXPECT_NEAR(steam->physicsSprite()->position().y, 400 + 80 * 1.5, 0.1);
    EXPECT_NEAR(steam->getPrimaryBody()->GetPosition().x * 32, 390, 0.1);
    EXPECT_EQ(steam->contactPlayer(), 0u) << "a body contact never costs";
}

TEST_F(SteamCloudTest, TheContactRadiusGrowsWithThePuff) {
    struct Case {
        const char* name;
        Value type;
        double beeDistance;  // points above the puff
        bool counts;
    };
    const Case cases[] = {
        {"no radius: every overlap", puff(), 500, true},
        {"radius 20 at scale 2 reaches 59 pt", puff({{"contact_radius", 20}, {"start_scale", 2}, {"end_scale", 2}}),
         58.5, true},
        {"and no further", puff({{"contact_radius", 20}, {"start_scale", 2}, {"end_scale", 2}}), 59.5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(load(dict({{"209", c.type}})));
        recorder_.hits.clear();
        RefPtr<SteamCloud> steam = SteamCloud::steamCloudWithType(209, CGPointMake(0, 1200), 0, 1, 1, Value());
        bee_.moveTo({0, static_cast<float>((1200 + c.beeDistance) / 32)});
        EXPECT_EQ(steam->sensorContactPlayer(), c.counts ? kPenalty : 0u);
        EXPECT_EQ(recorder_.hits[HitStatistic::kCloud], c.counts ? 1 : 0);
        if (!c.counts) {
            bee_.moveTo({0, 1200 / 32.0f});
            EXPECT_EQ(steam->sensorContactPlayer(), kPenalty) << "a refusal by distance does not re-arm the delay";
        }
    }
}

TEST_F(SteamCloudTest, BurstsOnlyWhenDestroyedActiveAndOnlyOnce) {
    ASSERT_TRUE(load(dict({{"209", puff({{"projectile", spray(2)}})}, {"300", kShot}})));
    RefPtr<SteamCloud> active = SteamCloud::steamCloudWithType(209, CGPointMake(0, 1100), 0, 1, 1, Value());
    level_->addEnemy(active.get());
    active->destroy();
    active->destroy();
    EXPECT_EQ(shots(), 2u);
    EXPECT_FALSE(level_->enemies().contains(active.get()));
    const b2Vec2 velocity = level_->projectiles().at(0)->getPrimaryBody()->GetLinearVelocity();
    EXPECT_NEAR(velocity.y, 10, 1e-3) << "320 pt/s straight up";

    RefPtr<SteamCloud> late = SteamCloud::steamCloudWithType(209, CGPointMake(0, 1100), 0, 1, 1, Value());
    late->onDayIsOver();
    EXPECT_EQ(late->sensorContactPlayer(), 0u);
    late->destroy();
    EXPECT_EQ(shots(), 2u) << "no burst after nightfall";
}

TEST_F(SteamCloudTest, NoDriftOrSprayAtThePlanetCentre) {
    ASSERT_TRUE(load(dict({{"209", puff()}, {"300", kShot}})));
    EXPECT_FALSE(SteamCloud::steamCloudWithType(209, CGPointZero, 0, 1, 1, Value()));
    RefPtr<game::ProjectileData> sprayData = game::ProjectileData::componentWithDictionary(spray(1));
    EXPECT_FALSE(game::EnemyRules::fireSprayShot(*sprayData, CGPointZero, 90, 0));
    EXPECT_TRUE(game::EnemyRules::fireSprayShot(*sprayData, CGPointMake(0, 1100), 90, 0));
    EXPECT_EQ(shots(), 1u);
}

TEST_F(SteamCloudTest, APuffExpiringDuringTheLevelsWalkSkipsNoNeighbour) {
    ASSERT_TRUE(load(dict({{"209", puff()}, {"216", puff({{"lifetime", 0}})}}),
                     {dict({{"type", 209}, {"position", "{0, 1300}"}}), dict({{"type", 216}, {"position", "{0, 1400}"}}),
                      dict({{"type", 209}, {"position", "{0, 1500}"}})}));
    ASSERT_EQ(level_->enemies().count(), 3u);
    RefPtr<SteamCloud> first(dynamic_cast<SteamCloud*>(level_->enemies().at(0)));
    RefPtr<SteamCloud> last(dynamic_cast<SteamCloud*>(level_->enemies().at(2)));
    level_->update(kFrame);
    EXPECT_EQ(level_->enemies().count(), 2u) << "a lifetime of 0 ends on the first update";
    EXPECT_FLOAT_EQ(first->age(), kFrame);
    EXPECT_FLOAT_EQ(last->age(), kFrame) << "the neighbour after the leaving puff was updated once";
}

TEST_F(EmitterTest, WaitsItsDelayCapsItsCloudsAndResumes) {
    ASSERT_TRUE(load(dict({{"209", puff()},
                           {"700", dict({{"type_name", "vent"}, {"emit_type", 209}})},
                           {"701", dict({{"type_name", "geyser"}, {"emit_type", 209}, {"max_objects", 3},
                                         {"delay", 0}, {"offset_distance_x", 20},
                                         {"offset_relative_to_gravity", true}})}})));
    // No delay keys: one cloud a second.
    RefPtr<Emitter> vent = Emitter::emitterWithType(700, CGPointMake(0, 1050), 0, 1, 1);
    for (int i = 0; i < 55; ++i) vent->update(kFrame);
    EXPECT_EQ(vent->childCount(), 0u);
    for (int i = 0; i < 10; ++i) vent->update(kFrame);
    EXPECT_EQ(vent->childCount(), 1u);
    EXPECT_EQ(vent->childAt(0)->parent(), vent.get());

    RefPtr<Emitter> geyser = Emitter::emitterWithType(701, CGPointMake(0, 1050), 0, 1, 1);
    for (int i = 0; i < 6; ++i) geyser->update(kFrame);
    ASSERT_EQ(geyser->childCount(), 3u) << "capped at three";
    const CGPoint spawned = dynamic_cast<SteamCloud*>(geyser->childAt(2))->physicsSprite()->position();
    EXPECT_GE(spawned.x, -1e-3);
    EXPECT_LE(spawned.x, 20) << "the offset runs along the surface";
    dynamic_cast<SteamCloud*>(geyser->childAt(1))->destroy();
    EXPECT_EQ(geyser->childCount(), 2u);
    geyser->update(kFrame);
    EXPECT_EQ(geyser->childCount(), 3u) << "spawning resumes on the next frame";

    // After nightfall the clouds still age but no more are made.
    geyser->onDayIsOver();
    const float age = dynamic_cast<SteamCloud*>(geyser->childAt(0))->age();
    dynamic_cast<SteamCloud*>(geyser->childAt(1))->destroy();
    geyser->update(kFrame);
    EXPECT_EQ(geyser->childCount(), 2u);
    EXPECT_FLOAT_EQ(dynamic_cast<SteamCloud*>(geyser->childAt(0))->age(), age + kFrame);
}

TEST_F(EmitterTest, BurstsAndRetries) {
    struct Case {
        const char* name;
        Value type;
        size_t shotsAfterOneSecond;
        bool retrying;
    };
    const Case cases[] = {
        {"two shots a burst", dict({{"emit_type", 304}, {"delay", 0.5}, {"projectile", spray(2)}}), 4, false},
        {"an unknown emit type retries every frame", dict({{"emit_type", 999}, {"delay", 0.5}}), 0, true},
        {"a burst of no shots retries", dict({{"emit_type", 304}, {"delay", 0.5}, {"projectile", spray(0)}}), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(load(dict({{"300", kShot}, {"702", c.type}})));
        RefPtr<Emitter> emitter = Emitter::emitterWithType(702, CGPointMake(0, 1050), 0, 1, 1);
        for (int i = 0; i < 61; ++i) emitter->update(kFrame);
        EXPECT_EQ(shots(), c.shotsAfterOneSecond);
        EXPECT_EQ(emitter->delay() <= 0, c.retrying);
        EXPECT_EQ(emitter->childCount(), 0u) << "shots are never held";
    }
}

}  // namespace
