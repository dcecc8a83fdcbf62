// The nectar streams of the bee's flower and hive contacts: pooled systems attached to a flower or
// the hive and let go again, aimed at the bee's mouth, the hive or the planet's centre.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "engine/core/support/ccPointMath.h"
#include "game/core/BeeTestSupport.h"
#include "game/core/RestartableParticleSystem.h"
#include "game/objects/Flower.h"
#include "game/objects/Hive.h"
#include "tests/game/objects/ObjectTestWorld.h"

using game::Flower;
using game::Hive;

namespace {

// Four daisies standing on the ground and the hive straight above the centre at 1000 points.
const Value kObjectData = dict({{"gameobjects", dict({{"1", dict({{"type_name", "daisy"},
                                                                  {"nectar", 5},
                                                                  {"head_anchor_position", "{32, 98}"},
                                                                  {"joint_anchor_position", "{32, 0}"},
                                                                  {"head_radius", 12}})},
                                                      {"1000", dict({{"type_name", "hive"}})}})}});

class LevelStreamsTest : public ObjectTestWorld {
protected:
    void SetUp() override {
        ObjectTestWorld::SetUp();
        if (HasFatalFailure()) return;
        addFrames({{"daisy.png", CGSizeMake(64, 128)},
                   {"hive_inner.png", CGSizeMake(112, 140)},
                   {"hive_outer.png", CGSizeMake(112, 140)},
                   {"hive_honey.png", CGSizeMake(112, 140)}});
        world_->writeList("gameobject_data.plist", kObjectData);
        world_->writeList("drops.plist", dict({{"maxParticles", 20}, {"duration", -1}, {"particleLifespan", 1}}));
        Value info = testLevelInfo("test_a", 300);
        info.set("particles_info", dict({{"vantrel_collect_nectar", "drops.plist"},
                                         {"flower_lose_nectar", "drops.plist"},
                                         {"vantrel_transfer_nectar", "drops.plist"}}));
        const auto daisy = [](const char* position) { return dict({{"type", 1}, {"position", position}}); };
        world_->writeLevel("test_a", info, dict({}),
                           testLevelObjects({daisy("{-300, 1000}"), daisy("{-100, 1000}"), daisy("{100, 1000}"),
                                             daisy("{300, 1000}")}));
        level_ = Level::levelFromFile("test_a.plist");
        ASSERT_TRUE(level_);
        ASSERT_TRUE(level_->loadLevelObjects());
        level_->createParticles();
        for (size_t i = 0; i < level_->flowers().count(); ++i) flowers_.push_back(dynamic_cast<Flower*>(level_->flowers().at(i)));
        ASSERT_EQ(flowers_.size(), 4u);
        hive_ = dynamic_cast<Hive*>(level_->hive());
        ASSERT_TRUE(hive_);

        // A real bee (its own little world) gives the mouth positions.
        surroundings_ = std::make_unique<FakeBeeSurroundings>();
        surroundings_->physics.useSynchronisableList();
        bee_ = makeRef<Player>();
        ASSERT_TRUE(bee_->init(surroundings_.get(), surroundings_.get()));
        level_->setPlayer(bee_.get());
    }
    void TearDown() override {
        if (level_) level_->setPlayer(nullptr);
        bee_.reset();
        surroundings_.reset();
        ObjectTestWorld::TearDown();
    }

    // Puts the bee's head at the point (points).
    void standBeeAt(CGPoint p) {
        bee_->vantrelBody()->SetTransform(b2Vec2(static_cast<float>(p.x / 32), static_cast<float>(p.y / 32)), 0);
        bee_->vantrel()->synchronise();
    }
    static void expectNear(CGPoint actual, CGPoint expected, const char* what) {
        EXPECT_NEAR(actual.x, expected.x, 1e-3) << what;
        EXPECT_NEAR(actual.y, expected.y, 1e-3) << what;
    }

    std::vector<Flower*> flowers_;
    Hive* hive_ = nullptr;
    std::unique_ptr<FakeBeeSurroundings> surroundings_;
    RefPtr<Player> bee_;
};

TEST_F(LevelStreamsTest, FlowerStreamsAttachFollowTheMouthAndLetGo) {
    standBeeAt({-300, 1150});
    Flower* daisy = flowers_[0];
    level_->beginPlayerFlowerContact(daisy);
    EXPECT_EQ(bee_->statFlowersVisited(), 1);
    CCParticleSystem* collect = daisy->particlesVantrelCollectNectar();
    CCParticleSystem* lose = daisy->particlesFlowerLoseNectar();
    ASSERT_TRUE(collect && lose);
    EXPECT_EQ(collect->userData(), static_cast<GameObject*>(daisy));
    EXPECT_TRUE(collect->active());
    const CGPoint head = daisy->physicsSprite()->position();
    const CGPoint mouth = bee_->beeMouthCollectionPosition();
    expectNear(collect->sourcePosition(), head, "from the flower's head");
    expectNear(collect->gravity(), CGPointMake(mouth.x - head.x, mouth.y - head.y), "into the mouth");
    const CGPoint down = ccPointNormalize(CGPointMake(-head.x, -head.y));
    expectNear(lose->gravity(), CGPointMake(down.x * 50, down.y * 50), "bits fall to the ground");

    level_->updatePlayerFlowerContact(daisy, false);
    EXPECT_FALSE(collect->active());
    expectNear(collect->gravity(), CGPointMake(down.x * 100, down.y * 100), "the rest falls");
    level_->updatePlayerFlowerContact(daisy, true);
    EXPECT_TRUE(collect->active()) << "flowing again";

    level_->endPlayerFlowerContact(daisy);
    EXPECT_EQ(collect->userData(), nullptr);
    EXPECT_EQ(daisy->particlesVantrelCollectNectar(), nullptr);
    EXPECT_EQ(daisy->particlesFlowerLoseNectar(), nullptr);
    const CGPoint settled = collect->gravity();
    level_->endPlayerFlowerContact(daisy);  // a second end does nothing
    expectNear(collect->gravity(), settled, "untouched");
}

TEST_F(LevelStreamsTest, AFourthFlowerTakesAStreamFromItsOwner) {
    for (int i = 0; i < 3; ++i) level_->beginPlayerFlowerContact(flowers_[i]);
    std::set<CCParticleSystem*> held;
    for (int i = 0; i < 3; ++i) held.insert(flowers_[i]->particlesVantrelCollectNectar());
    EXPECT_EQ(held.size(), 3u) << "the pool gives each a free one";

    level_->beginPlayerFlowerContact(flowers_[3]);
    CCParticleSystem* taken = flowers_[3]->particlesVantrelCollectNectar();
    ASSERT_TRUE(held.count(taken));
    EXPECT_EQ(taken->userData(), static_cast<GameObject*>(flowers_[3]));
    int stillHolding = 0;
    for (int i = 0; i < 3; ++i) {
        CCParticleSystem* own = flowers_[i]->particlesVantrelCollectNectar();
        EXPECT_NE(own, taken) << "the old owner no longer names it";
        stillHolding += own != nullptr;
    }
    EXPECT_EQ(stillHolding, 2);
    EXPECT_EQ(bee_->statFlowersVisited(), 4);
}

TEST_F(LevelStreamsTest, TheTransferStreamAimsAtTheHiveOrFallsWhenTooClose) {
    const CGPoint hive = hive_->position();
    struct Case {
        CGPoint bee;
        bool straightDown;
    } cases[] = {{{hive.x + 200, hive.y + 100}, false}, {{hive.x + 10, hive.y + 25}, true}};
    for (const Case& c : cases) {
        standBeeAt(c.bee);
        level_->beginPlayerHiveContact(true);
        CCParticleSystem* stream = hive_->particlesVantrelTransferNectar();
        ASSERT_TRUE(stream);
        EXPECT_EQ(stream->userData(), static_cast<GameObject*>(hive_));
        EXPECT_TRUE(stream->active());
        const CGPoint mouth = bee_->beeMouthPosition();
        const CGPoint down = ccPointNormalize(CGPointMake(-mouth.x, -mouth.y));
        expectNear(stream->gravity(),
                   c.straightDown ? CGPointMake(down.x * 100, down.y * 100)
                                  : CGPointMake(hive.x - mouth.x, hive.y - mouth.y),
                   c.straightDown ? "within 50 points: to the centre" : "to the hive");
        level_->updatePlayerHiveContact(false);
        EXPECT_FALSE(stream->active());
        level_->endPlayerHiveContact();
        EXPECT_EQ(stream->userData(), nullptr);
        EXPECT_EQ(hive_->particlesVantrelTransferNectar(), nullptr);
    }
    EXPECT_EQ(bee_->statHivesVisited(), 2);

    // Without nectar the stream is attached but does not flow.
    level_->beginPlayerHiveContact(false);
    ASSERT_TRUE(hive_->particlesVantrelTransferNectar());
    EXPECT_FALSE(hive_->particlesVantrelTransferNectar()->active());
}

TEST_F(LevelStreamsTest, AHiveThatGoesAwayLetsItsStreamGo) {
    level_->beginPlayerHiveContact(true);
    CCParticleSystem* stream = hive_->particlesVantrelTransferNectar();
    ASSERT_TRUE(stream);
    RefPtr<CCParticleSystem> keep(stream);
    level_->setPlayer(nullptr);
    level_.reset();  // the level's objects go, the hive with them
    EXPECT_EQ(keep->userData(), nullptr) << "a pooled system never names a freed owner";
}

}  // namespace
