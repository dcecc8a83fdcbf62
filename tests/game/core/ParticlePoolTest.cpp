#include "game/core/ParticlePool.h"

#include <gtest/gtest.h>

#include "game/core/FlowerProtocol.h"
#include "game/core/HiveProtocol.h"
#include "support/HeadlessDirectorTest.h"
#include "support/ValueBuilders.h"

namespace {

struct StandInFlower : FlowerProtocol {};

struct StandInHive : HiveProtocol {
    CGPoint position() const override { return CGPointZero; }
    void setTint(ccColor3B) override {}
};

class ParticlePoolTest : public HeadlessDirectorTest {
protected:
    // A made system schedules its update: the scheduler holds it until it is cleaned up.
    void TearDown() override {
        pool_.cleanup();
        HeadlessDirectorTest::TearDown();
    }

    RestartableParticleSystem* system(size_t i) const { return pool_.systems()[i].get(); }

    ParticlePool pool_ = ParticlePool::withDictionary(dict({{"maxParticles", 10}, {"duration", -1}}), 7);
    int holder_ = 0;
};

TEST_F(ParticlePoolTest, SystemsAreTakenInTurnAndNextFreePassesOverHeldOnes) {
    ASSERT_FALSE(pool_.empty());
    for (const RefPtr<RestartableParticleSystem>& made : pool_.systems()) {
        EXPECT_EQ(made->tag(), 7);
        EXPECT_FALSE(made->active()) << "made stopped";
    }
    EXPECT_EQ(pool_.next(), system(1)) << "the first turn is the second system";
    EXPECT_EQ(pool_.next(), system(2));
    EXPECT_EQ(pool_.next(), system(0));

    system(1)->setUserData(&holder_);
    system(2)->setUserData(&holder_);
    EXPECT_EQ(pool_.nextFree(), system(0)) << "the turn (1) is held, so is 2: the first free one";
    EXPECT_EQ(pool_.next(), system(1)) << "and the turn goes on from there";
    system(0)->setUserData(&holder_);
    EXPECT_EQ(pool_.nextFree(), system(2)) << "all held: the one in turn";
    EXPECT_EQ(ParticlePool().next(), nullptr);
    EXPECT_EQ(ParticlePool().nextFree(), nullptr);
}

// A flower or hive that goes while it holds streams hands them back stopped and free, each on its
// own: a flower may hold its falling bits without its droplets.
TEST_F(ParticlePoolTest, HoldersThatGoLetGoOfTheirStreams) {
    for (const RefPtr<RestartableParticleSystem>& made : pool_.systems()) {
        made->resetSystemFullyWithoutKillingParticles();
        made->setUserData(&holder_);
    }
    {
        StandInFlower flower;
        flower.setParticlesFlowerLoseNectar(system(0));
        StandInFlower both;
        both.setParticlesVantrelCollectNectar(system(1));
        both.setParticlesFlowerLoseNectar(system(2));
    }
    for (size_t i = 0; i < ParticlePool::kSize; ++i) {
        EXPECT_EQ(system(i)->userData(), nullptr) << i;
        EXPECT_FALSE(system(i)->active()) << i;
        system(i)->resetSystemFullyWithoutKillingParticles();
        system(i)->setUserData(&holder_);
    }
    {
        StandInHive hive;
        hive.setParticlesVantrelTransferNectar(system(1));
    }
    EXPECT_EQ(system(1)->userData(), nullptr);
    EXPECT_FALSE(system(1)->active());
    EXPECT_TRUE(system(0)->active()) << "a stream nobody held stays as it was";
    EXPECT_EQ(system(0)->userData(), &holder_);
    ParticlePool::release(nullptr);
}

}  // namespace
