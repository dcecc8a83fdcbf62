#include "game/objects/Projectile.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/foundation/Log.h"
#include "support/ValueBuilders.h"
#include "EnemyTestSupport.h"

using game::HitStatistic;
using game::Projectile;
using namespace enemytest;

namespace {

constexpr uint32_t kPenalty = 75000;

Value shotTypes() {
    const Value shot = dict({{"type_name", "pellet"},
                             {"nectar_penalty", 0.75},
                             {"contact_sound_effect", dict({{"sound_name", "ping"}, {"volume", 1}})},
                             {"fixtures", array({dict({{"type", 0}, {"radius", 8}})})}});
    return dict({{"300", shot}, {"350", shot}, {"305", shot}});
}

class ProjectileTest : public EnemyLevelTest {
protected:
    void SetUp() override {
        EnemyLevelTest::SetUp();
        registerEnemyKinds();
    }

    // A shot of type 300 filed in the level; the level holds the only reference.
    Projectile* fire(CGPoint position) {
        RefPtr<Projectile> shot = Projectile::projectileWithType(300, position, 0, 1, 1);
        EXPECT_TRUE(shot);
        if (!shot) return nullptr;
        level_->addProjectile(shot.get());
        return shot.get();
    }
};

TEST_F(ProjectileTest, HittingTheBeeAndTheGroundInOneStepIsOneBeeHit) {
    ASSERT_TRUE(load(shotTypes()));
    b2BodyDef definition;
    definition.position.Set(0, 1172 / 32.0f);
    b2PolygonShape box;
    box.SetAsBox(2, 6 / 32.0f);
    layer_->physicsWorld()->CreateBody(&definition)->CreateFixture(&box, 0);

    fire(CGPointMake(0, 1182));
    frame();
    EXPECT_EQ(layer_->lost, kPenalty);
    EXPECT_EQ(recorder_.hits[HitStatistic::kProjectile], 1);
    EXPECT_EQ(recorder_.played.size(), 1u);
    EXPECT_TRUE(level_->projectiles().empty());

    // The ground alone destroys a shot without a bee hit.
    fire(CGPointMake(0, 1160));
    frame();
    EXPECT_TRUE(level_->projectiles().empty());
    EXPECT_EQ(layer_->lost, kPenalty);
    EXPECT_EQ(recorder_.totalHits(), 1);
}

TEST_F(ProjectileTest, ThePenaltyIsReadBeforeTheShotIsFreed) {
    ASSERT_TRUE(load(shotTypes()));
    Projectile* shot = fire(CGPointMake(300, 1500));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->contactPlayer(), kPenalty);  // the level's reference went with destroy
    EXPECT_TRUE(level_->projectiles().empty());
}

TEST_F(ProjectileTest, NightfallAndTheCapRemoveShots) {
    ASSERT_TRUE(load(shotTypes()));
    std::vector<RefPtr<Projectile>> shots;
    for (int i = 0; i < 21; ++i) shots.emplace_back(fire(CGPointMake(40 * i, 1500)));
    ASSERT_EQ(level_->projectiles().count(), 20u);
    EXPECT_TRUE(shots[0]->isGone()) << "the 21st destroys the oldest";
    EXPECT_FALSE(shots[0]->canHit());
    EXPECT_FALSE(shots[1]->isGone());

    level_->onLevelEnding();  // nightfall
    EXPECT_TRUE(level_->projectiles().empty());
    for (const RefPtr<Projectile>& shot : shots) {
        EXPECT_TRUE(shot->isGone());
        EXPECT_FALSE(shot->active());
    }
    shots.clear();
    EXPECT_EQ(layer_->physicsWorld()->GetBodyCount(), 2) << "the ground body and the bee remain";
}

TEST_F(ProjectileTest, BodilessTypesAreDiscarded) {
    ASSERT_TRUE(load(shotTypes(), {dict({{"type", 300}, {"position", "{0, 1500}"}}),
                                   dict({{"type", 305}, {"position", "{0, 1500}"}}),
                                   dict({{"type", 350}, {"position", "{0, 1600}"}})}));
    EXPECT_EQ(level_->projectiles().count(), 2u) << "300 and 350 from level data";
    LogCapture log;
    EXPECT_FALSE(Projectile::projectileWithType(305, CGPointMake(0, 1500), 0, 1, 1));
    EXPECT_FALSE(Projectile::projectileWithType(399, CGPointMake(0, 1500), 0, 1, 1));
    EXPECT_TRUE(log.contains("shot type 305 has no body"));
}

}  // namespace
