#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/CCNode.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameSensor.h"
#include "game/objects/Bird.h"
#include "game/objects/Cloud.h"
#include "game/objects/MovementOrbit.h"
#include "support/ValueBuilders.h"
#include "EnemyTestSupport.h"

using game::Bird;
using game::Cloud;
using game::HitStatistic;
using namespace enemytest;

namespace {

constexpr uint32_t kPenalty = 20000;

const Value kBall = array({dict({{"type", 0}, {"radius", 16}})});
const Value kSensorBall = array({dict({{"type", 0}, {"radius", 48}, {"is_sensor", true}})});

Value cloudType(const char* name) {
    return dict({{"type_name", name}, {"nectar_penalty", 0.2}, {"contact_delay", 0}, {"fixtures", kSensorBall}});
}

// The scene's hide sensor, which the level test layer has none of.
class HidingLayerTest : public EnemyLevelTest {
protected:
    void SetUp() override {
        EnemyLevelTest::SetUp();
        registerEnemyKinds();
        GameObject::setMovementBuilders(nullptr, [](const Value& orbit, CCNode* node) -> RefPtr<MovementProtocol> {
            return game::MovementOrbit::movementOrbitFromDictionary(orbit, node);
        });
    }
};

class CloudTest : public HidingLayerTest {};
class BirdTest : public HidingLayerTest {};

TEST_F(CloudTest, OnlySensorsCostAndEachKindRaisesItsOwnCounter) {
    struct Case {
        int32_t type;
        HitStatistic statistic;
    };
    const Case cases[] = {{200, HitStatistic::kCloud},     {203, HitStatistic::kRain},
                          {206, HitStatistic::kLightning}, {210, HitStatistic::kTornado},
                          {217, HitStatistic::kNone},      {250, HitStatistic::kNone},
                          {251, HitStatistic::kNone}};
    Value types = dict({});
    for (const Case& c : cases) types.set(std::to_string(c.type), cloudType("cloud"));
    ASSERT_TRUE(load(types));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        recorder_.hits.clear();
        RefPtr<Cloud> cloud = Cloud::cloudWithType(c.type, CGPointMake(0, 1200), 0, 1, 1, Value());
        ASSERT_TRUE(cloud->getPrimaryBody());
        EXPECT_EQ(cloud->getPrimaryBody()->GetType(), b2_kinematicBody);
        EXPECT_EQ(cloud->contactPlayer(), 0u) << "a body contact costs nothing";
        EXPECT_EQ(cloud->sensorContactPlayer(), kPenalty) << "the contact delay was not re-armed by the body contact";
        EXPECT_EQ(recorder_.totalHits(), c.statistic == HitStatistic::kNone ? 0 : 1);
        if (c.statistic != HitStatistic::kNone) {
            EXPECT_EQ(recorder_.hits[c.statistic], 1);
        }
    }
}

TEST_F(CloudTest, AHidingCloudReachesOnlyTheHideSensor) {
    ASSERT_TRUE(load(dict({{"213", cloudType("hiding")}})));
    RefPtr<Cloud> hiding = Cloud::cloudWithType(213, CGPointMake(0, 1200), 0, 1, 1, Value());
    frame();
    ASSERT_TRUE(layer_->hideSensor());
    EXPECT_TRUE(layer_->hideSensor()->isActive());
    EXPECT_TRUE(layer_->gameContactListener()->contactSensors().empty());
    EXPECT_EQ(layer_->lost, 0u);
    EXPECT_EQ(recorder_.totalHits(), 0);
}

TEST(Cloud, TheBoltHangsTowardsTheBee) {
    struct Case {
        CGPoint bee;
        float rotation;
    };
    const CGPoint cloud = CGPointMake(100, 500);
    for (const Case& c : {Case{CGPointMake(100, 300), 0}, Case{CGPointMake(300, 500), -90},
                          Case{CGPointMake(100, 700), -180}, Case{cloud, 0}}) {
        EXPECT_NEAR(Cloud::lightningRotation(cloud, c.bee), c.rotation, 1e-3);
    }
}

TEST_F(BirdTest, ABirdFollowsItsNodeAndStrikesOnce) {
    addFrame("peck_1.png", CGSizeMake(8, 8));
    ASSERT_TRUE(load(dict({{"220", dict({{"type_name", "crow"},
                                         {"nectar_penalty", 0.2},
                                         {"contact_delay", 0},
                                         {"contact_animation", dict({{"frame_count", 1}, {"image_name", "peck"}})},
                                         {"fixtures", kBall},
                                         {"movement", dict({{"orbit", dict({{"orbit_speed", 200}})}})}})}})));
    RefPtr<Bird> bird = Bird::birdWithType(220, CGPointMake(0, 1400), 0, 1, 1, Value());
    ASSERT_TRUE(bird->movement());
    b2Body* body = bird->getPrimaryBody();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->GetType(), b2_dynamicBody);
    double worst = 0;
    for (int i = 0; i < 60; ++i) {
        bird->update(kFrame);
        layer_->physicsWorld()->Step(kFrame, 8, 3);
        const CGPoint node = bird->movementNode()->position();
        worst = std::max(worst, std::hypot(body->GetPosition().x * 32.0 - node.x, body->GetPosition().y * 32.0 - node.y));
    }
    EXPECT_LT(worst, 0.5);
    EXPECT_GT(std::fabs(body->GetPosition().x), 1.0f) << "it did move along the orbit";

    EXPECT_EQ(bird->contactPlayer(), kPenalty);
    EXPECT_TRUE(bird->isStriking());
    EXPECT_EQ(bird->contactPlayer(), kPenalty) << "striking still costs";
    EXPECT_EQ(recorder_.hits[HitStatistic::kBird], 2);
    bird->update(kFrame);
    EXPECT_FALSE(bird->isStriking()) << "a one-frame strike ends at the next update";
}

TEST_F(BirdTest, ARestingBirdHoldsItsPlaceOnThePathWhenPushed) {
    // A fresh active rhythm flips on its first update: the bird rests for 10 s from the start.
    ASSERT_TRUE(load(dict({{"222", dict({{"type_name", "heron"},
                                         {"fixtures", kBall},
                                         {"movement_stamina", dict({{"stamina", 1}, {"recovery", 10}})},
                                         {"movement", dict({{"orbit", dict({{"orbit_speed", 200}})}})}})}})));
    RefPtr<Bird> bird = Bird::birdWithType(222, CGPointMake(0, 1400), 0, 1, 1, Value());
    b2Body* body = bird->getPrimaryBody();
    ASSERT_TRUE(body && bird->movement());
    const b2Vec2 start = body->GetPosition();
    for (int i = 0; i < 31; ++i) {
        if (i < 30) body->ApplyForceToCenter({500, 0}, true);
        bird->update(kFrame);
        layer_->physicsWorld()->Step(kFrame, 8, 3);
    }
    EXPECT_NEAR(bird->movementNode()->position().x, 0, 1e-3) << "the movement is paused";
    EXPECT_NEAR(body->GetPosition().x, start.x, 0.5f / 32) << "driven back to the paused node every frame";
    EXPECT_NEAR(body->GetPosition().y, start.y, 0.5f / 32);
}

TEST_F(BirdTest, WithoutMovementOrVisionABirdStaysPut) {
    addFrame("beak.png", CGSizeMake(10, 4));
    ASSERT_TRUE(load(dict({{"221", dict({{"type_name", "owl"}, {"fixtures", kBall}, {"turret_image_name", "beak"}})},
                           {"299", dict({})}})));
    RefPtr<Bird> bird = Bird::birdWithType(221, CGPointMake(0, 1400), 0, 1, 1, Value());
    b2Body* body = bird->getPrimaryBody();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->GetType(), b2_staticBody);
    level_->addEnemy(bird.get());
    body->ApplyForceToCenter({1000, 0}, true);
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_FLOAT_EQ(body->GetPosition().x, 0);
    ASSERT_TRUE(bird->rules().turretSprite());
    EXPECT_EQ(bird->rules().turretSprite()->rotation(), 0) << "no vision: the turret never turns";
    EXPECT_FALSE(Bird::birdWithType(299, CGPointMake(0, 1400), 0, 1, 1, Value())->getPrimaryBody())
        << "not a bird type";
}

}  // namespace

namespace {

// A frame of one colour in the shared cache.
void addSolidFrame(const std::string& name, int width, int height, ccColor3B colour) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = colour.r;
        pixels[i + 1] = colour.g;
        pixels[i + 2] = colour.b;
        pixels[i + 3] = 255;
    }
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, width, height,
                                      CGSizeMake(width, height)));
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
        CCSpriteFrame::frameWithTexture(texture, CGRectMake(0, 0, width, height)), name);
}

TEST_F(CloudTest, ARainCloudDrawsItsRainBelowIt) {
    addSolidFrame("raincloud.png", 60, 30, {255, 255, 255});
    addSolidFrame("drizzle_1.png", 40, 40, {0, 0, 255});
    Value rain = cloudType("raincloud");
    rain.set("rain_image_name", "drizzle");
    rain.set("rain_animation", dict({{"frame_count", 1}}));
    rain.set("rain_position", "{0, -35}");
    ASSERT_TRUE(load(dict({{"203", rain}})));
    RefPtr<Cloud> cloud = Cloud::cloudWithType(203, CGPointMake(160, 150), 0, 1, 1, Value());
    ASSERT_TRUE(cloud->rainSprite());
    scene_->addChild(cloud->physicsSprite());
    runFrames(1);
    EXPECT_TRUE(pixelNear(160, 150, {255, 255, 255})) << "the cloud";
    EXPECT_TRUE(pixelNear(160, 105, {0, 0, 255})) << "its rain";
    EXPECT_TRUE(pixelNear(160, 60, {0, 0, 0})) << "below the rain";
    cloud->physicsSprite()->removeFromParentAndCleanup(true);
}

}  // namespace
