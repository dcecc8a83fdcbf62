#include "game/objects/ProjectileData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "platform/foundation/Random.h"
#include "support/ValueBuilders.h"

using game::ProjectileData;

namespace {

RefPtr<ProjectileData> dataOf(const Value& dictionary) {
    RefPtr<ProjectileData> data = ProjectileData::componentWithDictionary(dictionary);
    EXPECT_TRUE(data);
    return data;
}

TEST(ProjectileData, SpeedsAndSpinsInTheirUnitsWithTheirDefaults) {
    Random::seed(7);
    struct Case {
        const char* name;
        Value dictionary;
        float velocityMin, velocityMax, spinMin, spinMax;
    };
    const Case cases[] = {
        {"no keys: 1 m/s, spin -pi..pi", dict({}), 1, 1, -3.1415927f, 3.1415927f},
        {"320 pt/s is 10 m/s, 90 deg/s a quarter turn", dict({{"velocity", 320}, {"angular_velocity", 90}}), 10, 10,
         1.5707963f, 1.5707963f},
        {"pairs", dict({{"velocity_min", 64}, {"velocity_max", 128}, {"angular_velocity_min", -180},
                        {"angular_velocity_max", 0}}),
         2, 4, -3.1415927f, 0},
        {"a lone bound keeps the default", dict({{"velocity_min", 640}}), 1, 1, -3.1415927f, 3.1415927f},
    };
    for (const Case& c : cases) {
        RefPtr<ProjectileData> data = dataOf(c.dictionary);
        EXPECT_FLOAT_EQ(data->velocityMin(), c.velocityMin) << c.name;
        EXPECT_FLOAT_EQ(data->velocityMax(), c.velocityMax) << c.name;
        EXPECT_FLOAT_EQ(data->angularVelocityMin(), c.spinMin) << c.name;
        EXPECT_FLOAT_EQ(data->angularVelocityMax(), c.spinMax) << c.name;
        for (int i = 0; i < 50; ++i) {
            const float speed = data->randomVelocity();
            EXPECT_GE(speed, c.velocityMin) << c.name;
            EXPECT_LE(speed, c.velocityMax) << c.name;
        }
    }
    EXPECT_FALSE(ProjectileData::componentWithDictionary(Value()));
}

TEST(ProjectileData, BurstCountsReachBothEndsAndAReversedRangeIsSafe) {
    Random::seed(11);
    RefPtr<ProjectileData> spread = dataOf(dict({{"count_min", 2}, {"count_max", 4}}));
    std::set<int32_t> seen;
    for (int i = 0; i < 200; ++i) seen.insert(spread->randomCount());
    EXPECT_EQ(seen, (std::set<int32_t>{2, 3, 4}));

    RefPtr<ProjectileData> reversed = dataOf(dict({{"count_min", 5}, {"count_max", 2}}));
    EXPECT_EQ(reversed->countRange(), 0u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(reversed->randomCount(), 5);
    EXPECT_EQ(dataOf(dict({}))->randomCount(), 1);

    // The widest pair is held to what the level keeps alive at once.
    RefPtr<ProjectileData> widest = dataOf(dict({{"count_min", INT32_MIN}, {"count_max", INT32_MAX}}));
    EXPECT_EQ(widest->countMin(), 0);
    EXPECT_EQ(widest->countMax(), ProjectileData::kMostShotsPerBurst);
    EXPECT_LE(widest->randomCount(), ProjectileData::kMostShotsPerBurst);
}

TEST(ProjectileData, TheReloadStartsFullAndRunsOutOnce) {
    RefPtr<ProjectileData> data = dataOf(dict({{"delay", 0.5}}));
    EXPECT_FLOAT_EQ(data->delay(), 0.5f) << "a shooter waits one reload before its first shot";
    EXPECT_FALSE(data->update(0.25f));
    EXPECT_TRUE(data->update(0.25f));
    EXPECT_TRUE(data->update(1.0f)) << "keeps running below zero";
    EXPECT_LT(data->delay(), 0);
    data->resetDelay();
    EXPECT_FLOAT_EQ(data->delay(), 0.5f);
}

TEST(ProjectileData, OffsetsFixedTurnedOrRandomWithinTheirLength) {
    Random::seed(3);
    RefPtr<ProjectileData> none = dataOf(dict({{"offset", "{0, 0}"}, {"use_offset_as_range", true}}));
    EXPECT_FALSE(none->hasOffset());
    EXPECT_EQ(none->launchPoint(CGPointMake(5, 6), 1.0f), CGPointMake(5, 6));

    RefPtr<ProjectileData> fixed = dataOf(dict({{"offset", "{10, 0}"}}));
    const CGPoint turned = fixed->launchPoint(CGPointMake(100, 100), 1.5707963f);
    EXPECT_NEAR(turned.x, 100, 1e-4);
    EXPECT_NEAR(turned.y, 110, 1e-4);

    RefPtr<ProjectileData> range = dataOf(dict({{"offset", "{0, 20}"}, {"use_offset_as_range", true}}));
    for (int i = 0; i < 100; ++i) {
        const CGPoint point = range->launchPoint(CGPointZero, 0);
        EXPECT_LE(std::hypot(point.x, point.y), 20.0 + 1e-4);
    }
}

TEST(ProjectileData, AimingLeadsTheBeeAndOffsetsAwayFromThePlanet) {
    RefPtr<ProjectileData> lead = dataOf(dict({{"target_lead_time", 0.5}}));
    const b2Vec2 ahead = lead->aimPoint({0, 10}, {4, 0});
    EXPECT_NEAR(ahead.x, 2, 1e-5) << "0.5 s at 4 m/s is 2 m ahead";
    EXPECT_NEAR(ahead.y, 10, 1e-5);

    RefPtr<ProjectileData> above = dataOf(dict({{"target_offset", "{0, 64}"}}));
    struct Case {
        b2Vec2 bee, expected;
    };
    // 2 m further from the planet centre wherever the bee is.
    for (const Case& c : {Case{{0, 10}, {0, 12}}, Case{{10, 0}, {12, 0}}, Case{{-3, -4}, {-4.2f, -5.6f}}}) {
        const b2Vec2 aim = above->aimPoint(c.bee, {0, 0});
        EXPECT_NEAR(aim.x, c.expected.x, 1e-4);
        EXPECT_NEAR(aim.y, c.expected.y, 1e-4);
    }
    const b2Vec2 direction = above->aimDirection({0, 0}, {0, 10}, {0, 0});
    EXPECT_NEAR(direction.y, 1, 1e-6);
    const b2Vec2 atTarget = dataOf(dict({}))->aimDirection({0, 10}, {0, 10}, {0, 0});
    EXPECT_EQ(atTarget.Length(), 0) << "a shot made at the aim point gets no direction";
}

TEST(ProjectileData, SprayDirections) {
    Random::seed(5);
    RefPtr<ProjectileData> both = dataOf(dict({{"direction_offset_range", 0},
                                               {"direction_gravity_min", 90},
                                               {"direction_gravity_max", 90}}));
    EXPECT_FALSE(both->directionGravityRelative()) << "the offset range overrides the gravity pair";
    const b2Vec2 plain = both->sprayDirection(CGPointMake(0, 100), 180);
    EXPECT_NEAR(plain.x, -1, 1e-6);
    EXPECT_NEAR(plain.y, 0, 1e-6);

    RefPtr<ProjectileData> up = dataOf(dict({{"direction_gravity_min", 90}, {"direction_gravity_max", 90}}));
    EXPECT_TRUE(up->directionGravityRelative());
    const b2Vec2 outwards = up->sprayDirection(CGPointMake(100, 0), 0);
    EXPECT_NEAR(outwards.x, 1, 1e-6) << "90 degrees is straight up from the planet";
    EXPECT_NEAR(outwards.y, 0, 1e-6);
    EXPECT_EQ(up->sprayDirection(CGPointZero, 0).Length(), 0) << "no horizontal at the centre";

    RefPtr<ProjectileData> fan = dataOf(dict({{"direction_offset_range", 60}}));
    for (int i = 0; i < 50; ++i) {
        const b2Vec2 d = fan->sprayDirection(CGPointZero, 90);
        EXPECT_NEAR(d.Length(), 1, 1e-5);
        EXPECT_GE(d.y, std::cos(30 * 0.017453292f) - 1e-5);
    }
}

}  // namespace

TEST(ProjectileData, SettersKeepEachRangeAndTheBurstBound) {
    RefPtr<ProjectileData> data = dataOf(dict({{"direction_gravity_min", 30}, {"direction_gravity_max", 150}}));
    data->setDelay(0.5f, 2);
    data->setVelocity(3, 1);
    data->setAngularVelocity(-1, 1);
    EXPECT_FLOAT_EQ(data->delayRange(), 1.5f);
    EXPECT_FLOAT_EQ(data->velocityRange(), -2) << "reversed bounds keep max - min";
    EXPECT_FLOAT_EQ(data->angularVelocityRange(), 2);
    for (int i = 0; i < 20; ++i) {
        const float delay = data->randomDelay();
        EXPECT_TRUE(delay >= 0.5f && delay < 2) << delay;
    }

    data->setCount(3, 50);
    EXPECT_EQ(data->countMax(), ProjectileData::kMostShotsPerBurst);
    EXPECT_EQ(data->countRange(), static_cast<uint32_t>(ProjectileData::kMostShotsPerBurst - 3));
    data->setCount(-4, -1);
    EXPECT_EQ(data->randomCount(), 0) << "a negative burst fires nothing";

    EXPECT_TRUE(data->directionGravityRelative());
    data->setDirectionOffsetRange(40);
    EXPECT_FALSE(data->directionGravityRelative()) << "a plain spray range ends the gravity-relative spray";
    data->setOffset(CGPointMake(0, 0));
    EXPECT_FALSE(data->hasOffset());
    data->setOffset(CGPointMake(0, 8));
    EXPECT_TRUE(data->hasOffset());
}
