#include "game/core/VantrelGameLayer.h"

#include <gtest/gtest.h>

namespace {

TEST(VantrelGameLayerTest, TheSummaryFractionOfAFullHive) {
    const struct {
        float honey;
        uint32_t reference;
        float fraction;
    } cases[] = {{0, 100, 0}, {50, 100, 0.5f}, {150, 100, 1}, {0, 0, 0}, {5, 0, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(VantrelGameLayer::summaryHoneyFraction(c.honey, c.reference), c.fraction)
            << c.honey << " of " << c.reference;
    }
}

}  // namespace
