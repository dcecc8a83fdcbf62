#include "game/core/RestartableParticleSystem.h"

#include <gtest/gtest.h>

#include "support/HeadlessDirectorTest.h"

namespace {

class RestartableParticleSystemTest : public HeadlessDirectorTest {
protected:
    // A system schedules its update when made: the scheduler holds it until it is cleaned up.
    void TearDown() override {
        for (const RefPtr<RestartableParticleSystem>& system : made_) system->cleanup();
        made_.clear();
        HeadlessDirectorTest::TearDown();
    }

    // Ten particles a second, each living 2 s, emitting for 1 s at a time.
    RefPtr<RestartableParticleSystem> emitter() {
        auto system = makeRef<RestartableParticleSystem>();
        made_.push_back(system);
        EXPECT_TRUE(system->initWithTotalParticles(100));
        system->setEmissionRate(10);
        system->setLife(2);
        system->setDuration(1);
        return system;
    }

    std::vector<RefPtr<RestartableParticleSystem>> made_;
    // Advances the system in tenths of a second, as frames would.
    static void run(RestartableParticleSystem* system, int tenths) {
        for (int i = 0; i < tenths; ++i) system->update(0.1001f);
    }
};

TEST_F(RestartableParticleSystemTest, RestartingAStoppedEmitterKeepsItsParticlesInFlight) {
    const RefPtr<RestartableParticleSystem> system = emitter();
    run(system.get(), 12);  // past its second of emission: stopped
    ASSERT_FALSE(system->active());
    const uint64_t emitted = system->particleCount();
    ASSERT_GT(emitted, 5u);
    const float oldestLife = system->particles()[0].lifeLeft;

    system->resetSystemWithoutKillingParticles();
    EXPECT_TRUE(system->active());
    run(system.get(), 3);
    EXPECT_GT(system->particleCount(), emitted) << "emitting again";
    EXPECT_NEAR(system->particles()[0].lifeLeft, oldestLife - 3 * 0.1001f, 1e-4) << "the oldest lives on";
}

TEST_F(RestartableParticleSystemTest, OnlyTheFullRestartDropsTheEmissionOwed) {
    // 0.15 s emits one particle (one every 0.1 s) and owes 0.05 s; 0.06 s more completes another.
    for (const bool fully : {false, true}) {
        const RefPtr<RestartableParticleSystem> system = emitter();
        system->update(0.15f);
        ASSERT_EQ(system->particleCount(), 1u);
        if (fully) system->resetSystemFullyWithoutKillingParticles();
        else system->resetSystemWithoutKillingParticles();
        system->update(0.06f);
        EXPECT_EQ(system->particleCount(), fully ? 1u : 2u) << (fully ? "fully" : "plain");
    }
}

TEST_F(RestartableParticleSystemTest, ResetAndStopLeavesNoParticlesAndEmitsNothing) {
    const RefPtr<RestartableParticleSystem> system = emitter();
    run(system.get(), 5);
    ASSERT_GT(system->particleCount(), 0u);
    system->resetSystemAndStop();
    EXPECT_FALSE(system->active());
    run(system.get(), 5);
    EXPECT_EQ(system->particleCount(), 0u);
}

}  // namespace
