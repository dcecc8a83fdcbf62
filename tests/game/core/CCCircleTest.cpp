#include "game/core/CCCircle.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/foundation/Log.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using CCCircleTest = HeadlessDirectorTest;

TEST_F(CCCircleTest, ACircleIsItsCentreAndAClosedRim) {
    const RefPtr<CCCircle> circle = makeRef<CCCircle>();
    ASSERT_TRUE(circle->initWithRadius(10, {1, 2, 3, 4}, 8));
    ASSERT_EQ(circle->vertexCount(), 10);
    EXPECT_EQ(circle->vertexData()[0], (ccVertex2F{0, 0}));
    for (int i = 0; i <= 8; ++i) {
        const ccVertex2F v = circle->vertexData()[i + 1];
        EXPECT_NEAR(std::hypot(v.x, v.y), 10, 1e-4);
        EXPECT_NEAR(std::remainder(std::atan2(v.y, v.x) * 180 / M_PI - 45.0 * i, 360.0), 0, 1e-3) << i;
    }
    EXPECT_NEAR(circle->vertexData()[9].x, circle->vertexData()[1].x, 1e-4);
    EXPECT_NEAR(circle->vertexData()[9].y, circle->vertexData()[1].y, 1e-4);

    LogCapture log;
    EXPECT_FALSE(makeRef<CCCircle>()->initWithRadius(10, {}, 0));
    EXPECT_FALSE(makeRef<CCCircle>()->initWithRadius(NAN, {}, 8));
}

}  // namespace
