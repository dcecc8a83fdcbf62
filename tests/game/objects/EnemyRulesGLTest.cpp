#include "game/objects/EnemyRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/render/CCSprite.h"
#include "game/objects/Projectile.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "support/ValueBuilders.h"
#include "EnemyTestSupport.h"

using game::EnemyRules;
using game::HitStatistic;
using namespace enemytest;

namespace {

constexpr uint32_t kPenalty = 50000;  // 0.5 nectar

// A stinging enemy: 0.5 nectar, a sound, a push along +x, a solid ball of 0.5 m; `extra` keys
// replace these.
Value stinger(std::initializer_list<std::pair<const std::string, Value>> extra = {}) {
    Value type = dict({{"type_name", "stinger"},
                       {"nectar_penalty", 0.5},
                       {"contact_sound_effect", dict({{"sound_name", "sting"}, {"volume", 1}})},
                       {"contact_effector", dict({{"force", 100}, {"force_direction", "{1, 0}"}})},
                       {"fixtures", array({dict({{"type", 0}, {"radius", 16}})})}});
    for (const auto& [key, value] : extra) type.set(key, value);
    return type;
}

// The shot the turrets fire: 1 nectar, a ball of 8 pt.
Value shot() {
    return dict({{"type_name", "pellet"},
                 {"nectar_penalty", 1},
                 {"fixtures", array({dict({{"type", 0}, {"radius", 8}})})}});
}

class EnemyRulesTest : public EnemyLevelTest {};

TEST_F(EnemyRulesTest, ContactDelayCases) {
    struct Step {
        float advance;  // seconds counted down before the contact
        bool counts;
    };
    struct Case {
        const char* name;
        Value type;
        uint32_t penalty;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a refused contact does not re-arm the delay", stinger({{"contact_delay", 1.0}}), kPenalty,
         {{1.0f, true}, {0.5f, false}, {0.5f, true}, {0.0f, false}}},
        {"a delay of 0 charges every frame", stinger({{"contact_delay", 0}}), kPenalty,
         {{0, true}, {kFrame, true}, {kFrame, true}, {0, true}}},
        {"a lone minimum gives the fixed 1 s", stinger({{"contact_delay_min", 0.1}}), kPenalty,
         {{0.5f, false}, {0.5f, true}, {0.9f, false}}},
        {"penalty 0 still shows, pushes, sounds and counts", stinger({{"contact_delay", 0}, {"nectar_penalty", 0}}),
         0, {{0, true}, {0, true}}},
        {"a negative penalty costs nothing", stinger({{"contact_delay", 0}, {"nectar_penalty", -1}}), 0,
         {{0, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(load(dict({{"221", c.type}})));
        RefPtr<RulesOnlyEnemy> enemy = RulesOnlyEnemy::make(221, CGPointMake(0, 1100));
        recorder_.played.clear();
        recorder_.hits.clear();
        int counted = 0;
        for (const Step& step : c.steps) {
            enemy->update(step.advance);
            bee_.moveTo({0, 1200 / 32.0f});
            EXPECT_EQ(enemy->contactPlayer(), step.counts ? c.penalty : 0u);
            counted += step.counts ? 1 : 0;
            EXPECT_EQ(recorder_.hits[HitStatistic::kBird], counted);
            EXPECT_EQ(static_cast<int>(recorder_.played.size()), counted);
            layer_->physicsWorld()->Step(kFrame, 8, 3);
            EXPECT_EQ(bee_.head->body()->GetLinearVelocity().x > 0, step.counts) << "pushed along +x";
        }
    }
}

TEST_F(EnemyRulesTest, NothingCountsAfterNightfall) {
    ASSERT_TRUE(load(dict({{"221", stinger({{"contact_delay", 0}})}})));
    RefPtr<RulesOnlyEnemy> enemy = RulesOnlyEnemy::make(221, CGPointMake(0, 1100));
    level_->addEnemy(enemy.get());
    level_->onLevelEnding();  // nightfall
    for (float delay : {0.0f, -5.0f}) {
        enemy->rules.setContactDelay(delay);
        EXPECT_EQ(enemy->contactPlayer(), 0u);
        EXPECT_EQ(enemy->sensorContactPlayer(), 0u);
    }
    EXPECT_EQ(recorder_.totalHits(), 0);
    EXPECT_TRUE(recorder_.played.empty());
}

TEST_F(EnemyRulesTest, BodiesAndSensorsTouchingTheBeeAddUp) {
    ASSERT_TRUE(load(dict({{"221", stinger({{"contact_delay", 0}})},
                           {"222", stinger({{"contact_delay", 0},
                                            {"fixtures", array({dict({{"radius", 16}, {"is_sensor", true}})})}})}})));
    // Two bodies in one step: both count, the bee loses the sum.
    RefPtr<RulesOnlyEnemy> first = RulesOnlyEnemy::make(221, CGPointMake(10, 1200));
    RefPtr<RulesOnlyEnemy> second = RulesOnlyEnemy::make(221, CGPointMake(-10, 1200));
    frame();
    EXPECT_EQ(layer_->lost, 2 * kPenalty);
    EXPECT_EQ(recorder_.hits[HitStatistic::kBird], 2);
    first.reset();
    second.reset();

    // A sensor reports the bee every frame while it stays inside.
    layer_->lost = 0;
    RefPtr<RulesOnlyEnemy> sensor = RulesOnlyEnemy::make(222, CGPointMake(0, 1200));
    EXPECT_TRUE(sensor->rules.hasContactSensor());
    for (int i = 0; i < 3; ++i) frame();
    EXPECT_EQ(layer_->lost, 3 * kPenalty);
    EXPECT_EQ(layer_->gameContactListener()->contactSensors().size(), 1u);
    sensor.reset();
    EXPECT_TRUE(layer_->gameContactListener()->contactSensors().empty()) << "a freed enemy leaves the list";
}

TEST_F(EnemyRulesTest, VisionTurretsAimAndFireOncePerReload) {
    addFrame("gun.png", CGSizeMake(20, 10));
    const Value vision = array({dict({{"radius", 320}, {"is_sensor", true}})});
    ASSERT_TRUE(load(dict({{"300", shot()},
                           {"223", stinger({{"vision_fixtures", vision},
                                            {"turret_image_name", "gun"},
                                            {"turret_anchor_point", "{0, 5}"},
                                            {"projectile", dict({{"type", 300},
                                                                 {"delay", 0.5},
                                                                 {"velocity", 320},
                                                                 {"angular_velocity", 0}})}})},
                           {"224", stinger({{"vision_fixtures", vision}, {"turret_image_name", "gun"}})}})));
    RefPtr<RulesOnlyEnemy> gunner = RulesOnlyEnemy::make(223, CGPointMake(-200, 1200));
    ASSERT_TRUE(gunner->rules.turretSprite());
    EXPECT_TRUE(gunner->rules.hasVisionSensor());
    level_->addEnemy(gunner.get());

    int frames = 0;
    while (level_->projectiles().empty() && frames < 120) {
        frame();
        bee_.moveTo({0, 1200 / 32.0f});
        ++frames;
    }
    EXPECT_EQ(layer_->gameContactListener()->visionSensors().size(), 1u);
    EXPECT_NEAR(frames, 30, 1) << "no shot before the first reload has run";
    EXPECT_NEAR(gunner->rules.turretSprite()->rotation(), 0, 1e-3) << "the bee is straight to the right";
    ASSERT_EQ(level_->projectiles().count(), 1u);
    const b2Vec2 velocity = level_->projectiles().at(0)->getPrimaryBody()->GetLinearVelocity();
    EXPECT_NEAR(velocity.x, 10, 0.05) << "aimed at the bee at 10 m/s";
    EXPECT_NEAR(velocity.y, 0, 0.05);
    for (int i = 0; i < 20; ++i) frame();
    EXPECT_EQ(level_->projectiles().count(), 1u) << "once per reload";

    // The same turret mirrored, and another below the bee; one without "projectile" never fires.
    gunner->sprite->setScaleX(-1);
    gunner->rules.updateTurret(gunner->sprite.get());
    EXPECT_NEAR(gunner->rules.turretSprite()->rotation(), 180, 1e-3);
    level_->removeEnemy(gunner.get());
    gunner.reset();
    EXPECT_TRUE(layer_->gameContactListener()->visionSensors().empty()) << "a freed enemy leaves the list";

    RefPtr<RulesOnlyEnemy> unarmed = RulesOnlyEnemy::make(224, CGPointMake(0, 1000));
    level_->addEnemy(unarmed.get());
    const size_t shots = level_->projectiles().count();
    for (int i = 0; i < 120; ++i) {
        bee_.moveTo({0, 1200 / 32.0f});
        frame();
    }
    EXPECT_NEAR(unarmed->rules.turretSprite()->rotation(), -90, 1e-3) << "straight up";
    EXPECT_EQ(level_->projectiles().count(), shots);
}

TEST_F(EnemyRulesTest, BrokenAnimationsAndTurretsAreLeftOutWithALogLine) {
    addFrame("flat.png", CGSizeMake(0, 10));
    ASSERT_TRUE(load(dict({{"225", stinger({{"contact_animation", dict({{"frame_count", 2}})},
                                            {"turret_image_name", "flat"}})},
                           {"226", stinger({{"turret_image_name", "nowhere"}})}})));
    LogCapture log;
    RefPtr<RulesOnlyEnemy> broken = RulesOnlyEnemy::make(225, CGPointMake(0, 1100));
    EXPECT_FALSE(broken->rules.contactAnimation());
    EXPECT_TRUE(log.contains("names no frames"));
    EXPECT_FALSE(broken->rules.turretSprite());
    EXPECT_TRUE(log.contains("turret flat has a frame of no size"));
    RefPtr<RulesOnlyEnemy> missing = RulesOnlyEnemy::make(226, CGPointMake(0, 1100));
    EXPECT_FALSE(missing->rules.turretSprite()) << "a missing frame has no size either";
    EXPECT_EQ(broken->contactPlayer(), 0u) << "the first delay has not run";
}

TEST(EnemyRules, PenaltiesAreWholeDropletsWithinThirtyTwoBits) {
    struct Case {
        Value value;
        uint32_t droplets;
    };
    for (const Case& c : {Case{0.5, 50000}, Case{0, 0}, Case{-2, 0}, Case{Value(), 0}, Case{1e9, UINT32_MAX},
                          Case{0.000015, 1}}) {
        Value data = dict({});
        if (!c.value.isNone()) data.set("nectar_penalty", c.value);
        EXPECT_EQ(EnemyRules::readPenalty(data), c.droplets);
    }
}

TEST_F(EnemyRulesTest, TheBodyReachesItsNodeInOneStepTheShortWayRound) {
    b2World world({0, 0});
    b2BodyDef definition;
    definition.type = b2_dynamicBody;
    definition.angle = 170 * 0.017453292f;
    b2Body* body = world.CreateBody(&definition);
    RefPtr<CCNode> node = CCNode::node();
    node->setPosition(CGPointMake(32, 64));
    node->setRotation(170);  // clockwise: -170 degrees counter-clockwise, 20 degrees from the body
    node->setScaleX(-1);
    RefPtr<CCSprite> sprite = makeRef<CCSprite>();
    sprite->init();
    EnemyRules::followNode(body, node.get(), sprite.get());
    EXPECT_NEAR(body->GetLinearVelocity().x, 60, 1e-3);
    EXPECT_NEAR(body->GetLinearVelocity().y, 120, 1e-3);
    EXPECT_NEAR(body->GetAngularVelocity(), 20 * 0.017453292f * 60, 1e-2);
    EXPECT_EQ(sprite->scaleX(), -1);

    body->SetType(b2_staticBody);
    EnemyRules::followNode(body, node.get(), sprite.get());
    EXPECT_EQ(body->GetLinearVelocity().x, 0) << "a static body stays put";
}

}  // namespace

namespace {

// A turret drawn in the window: a red bar 40 by 8 points pivoting on its left end, on an enemy
// sprite at (100, 120) that the scene draws. The bar lies along the line to the bee.
TEST_F(EnemyRulesTest, ATurretPointsAtTheBeeOnScreen) {
    std::vector<uint8_t> red(40 * 8 * 4);
    for (size_t i = 0; i < red.size(); i += 4) {
        red[i] = 255;
        red[i + 3] = 255;
    }
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithData(red.data(), kCCTexture2DPixelFormat_RGBA8888, 40, 8, CGSizeMake(40, 8)));
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
        CCSpriteFrame::frameWithTexture(texture, CGRectMake(0, 0, 40, 8)), "barrel.png");
    ASSERT_TRUE(load(dict({{"227", stinger({{"turret_image_name", "barrel"}, {"turret_anchor_point", "{0, 4}"}})}})));
    RefPtr<RulesOnlyEnemy> gunner = RulesOnlyEnemy::make(227, CGPointMake(100, 120));
    ASSERT_TRUE(gunner->rules.turretSprite());
    scene_->addChild(gunner->sprite.get());

    struct Case {
        const char* name;
        b2Vec2 bee;            // points
        CGPoint onBar, offBar;  // window pixels
    };
    for (const Case& c : {Case{"above", {100, 220}, {100, 145}, {125, 120}},
                          Case{"to the right", {220, 120}, {125, 120}, {100, 145}},
                          Case{"below left", {0, 20}, {85, 105}, {115, 135}}}) {
        SCOPED_TRACE(c.name);
        bee_.moveTo({c.bee.x / 32, c.bee.y / 32});
        gunner->rules.updateTurret(gunner->sprite.get());
        runFrames(1);
        EXPECT_TRUE(pixelNear(static_cast<int>(c.onBar.x), static_cast<int>(c.onBar.y), {255, 0, 0}));
        EXPECT_TRUE(pixelNear(static_cast<int>(c.offBar.x), static_cast<int>(c.offBar.y), {0, 0, 0}));
    }
    gunner->sprite->removeFromParentAndCleanup(true);
}

}  // namespace
