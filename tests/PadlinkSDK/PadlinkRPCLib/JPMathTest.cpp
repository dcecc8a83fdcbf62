#include "PadlinkSDK/PadlinkRPCLib/JPMath.h"

#include <gtest/gtest.h>

#include <limits>

TEST(JPMath, ClampFloatKeepsValuesWithinTheBounds) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float value, lower, upper, expected;
    } cases[] = {
        {0.5f, 0, 1, 0.5f}, {-2, 0, 1, 0}, {3, 0, 1, 1}, {0, 0, 1, 0}, {1, 0, 1, 1},
        {nan, -1, 1, -1},   // no NaN gets through
        {2, 5, 1, 1},       // backwards: above upper gives upper,
        {0, 5, 1, 5},       // else lower
    };
    for (const auto& c : cases) EXPECT_EQ(jpClampFloat(c.value, c.lower, c.upper), c.expected) << c.value;
}
