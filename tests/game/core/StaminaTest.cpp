#include "game/core/Stamina.h"

#include <gtest/gtest.h>

#include "platform/foundation/Random.h"
#include "support/ValueBuilders.h"

using game::Stamina;

namespace {

TEST(Stamina, AFreshStaminaFlipsOnItsFirstUpdateAndAtMostOncePerUpdate) {
    RefPtr<Stamina> active = Stamina::componentWithDictionary(dict({{"stamina", 2}, {"recovery", 3}}));
    ASSERT_TRUE(active);
    EXPECT_TRUE(active->active());
    EXPECT_TRUE(active->update(1.0f / 60));
    EXPECT_FALSE(active->active());
    EXPECT_FLOAT_EQ(active->recovery(), 3);

    EXPECT_TRUE(active->update(100));  // far past the rest: one flip, a full active phase
    EXPECT_TRUE(active->active());
    EXPECT_FLOAT_EQ(active->stamina(), 2);
    EXPECT_FALSE(active->update(1.0f));
    EXPECT_TRUE(active->update(1.0f));
    EXPECT_FALSE(active->active());

    RefPtr<Stamina> resting = Stamina::componentWithDictionary(dict({{"active", false}}));
    EXPECT_TRUE(resting->update(0.01f));
    EXPECT_TRUE(resting->active());
    EXPECT_FALSE(Stamina::componentWithDictionary(Value()));
}

TEST(Stamina, ZeroTimesFlipEveryUpdateAndSetActiveRestartsThePhase) {
    RefPtr<Stamina> blinking = Stamina::stamina(0, 0, 0, 0, true);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(blinking->update(1.0f / 60));

    RefPtr<Stamina> stamina = Stamina::stamina(5, 5, 1, 1, true);
    stamina->setActive(true);
    stamina->update(4);
    stamina->setActive(true);
    EXPECT_TRUE(stamina->wasActive());
    EXPECT_FLOAT_EQ(stamina->stamina(), 5);
    stamina->setActive(false);
    EXPECT_TRUE(stamina->wasActive());
    EXPECT_FLOAT_EQ(stamina->stamina(), 0);
    EXPECT_FLOAT_EQ(stamina->recovery(), 1);
}

TEST(Stamina, ALoneBoundKeepsTheDefaultRangeOfZeroToOne) {
    Random::seed(11);
    RefPtr<Stamina> stamina = Stamina::componentWithDictionary(dict({{"stamina_min", 7}, {"recovery_max", 9}}));
    float low = 1;
    float high = 0;
    for (int i = 0; i < 500; ++i) {
        const float s = stamina->randomStamina();
        const float r = stamina->randomRecovery();
        low = std::min({low, s, r});
        high = std::max({high, s, r});
    }
    EXPECT_GE(low, 0);
    EXPECT_LE(high, 1);
    EXPECT_GT(high - low, 0.9f);
}

}  // namespace
