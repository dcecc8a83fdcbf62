#include "platform/foundation/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
std::vector<uint32_t> draws(uint64_t seed) {
    Random::seed(seed);
    std::vector<uint32_t> out;
    for (int i = 0; i < 64; ++i) out.push_back(i % 2 ? Random::arc4random() : static_cast<uint32_t>(Random::random()));
    return out;
}
}  // namespace

TEST(RandomTest, SameSeedRepeatsAndOtherSeedsDiffer) {
    EXPECT_EQ(draws(42), draws(42));
    EXPECT_NE(draws(42), draws(43));
    // Seed 0 must not leave the generator stuck at zero.
    const std::vector<uint32_t> zero = draws(0);
    EXPECT_NE(std::count(zero.begin(), zero.end(), 0u), 64);
}

TEST(RandomTest, RangesAndSpreadOfTheThreeForms) {
    Random::seed(7);
    int buckets[10] = {};
    bool highBitSeen = false;
    for (int i = 0; i < 20000; ++i) {
        const int32_t r = Random::random();
        ASSERT_GE(r, 0);
        const float unit = Random::unitFloat();
        ASSERT_GE(unit, 0.0f);
        // 2^31 - 1 rounds to 2^31 in single precision, so 1.0 itself is possible (rarely).
        ASSERT_LE(unit, 1.0f);
        ++buckets[std::min(9, static_cast<int>(unit * 10))];
        highBitSeen |= (Random::arc4random() >> 31) != 0;
    }
    EXPECT_TRUE(highBitSeen);
    for (int count : buckets) {
        EXPECT_GT(count, 1700);
        EXPECT_LT(count, 2300);
    }
}
