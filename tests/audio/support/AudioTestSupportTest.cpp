#include "audio/support/AudioTestSupport.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"

namespace {
using AudioTestSupport = AudioDeviceTest;
}  // namespace

// The bounded waits end a test that would otherwise hang with a failure that says what never came.
TEST_F(AudioTestSupport, WaitsThatNeverEndFailWithWhatTheyWaitedFor) {
    ASSERT_TRUE(device_);
    {
        const MixingPaused stalled(device_->device());
        const ::testing::AssertionResult mixed = waitForMixing(device_->device(), 0.01, 0.2);
        EXPECT_FALSE(mixed);
        EXPECT_NE(std::string(mixed.message()).find("its mixing stalled"), std::string::npos) << mixed.message();
    }
    EXPECT_TRUE(waitForMixing(device_->device(), 0.01));

    const ::testing::AssertionResult pumped =
        pumpUntil(RunLoop::current(), "a condition that stays false", [] { return false; }, {}, 0.2);
    EXPECT_FALSE(pumped);
    EXPECT_STREQ(pumped.message(), "still waiting for a condition that stays false after 0.2 s");
}

// Each pass runs the loop's work and is then watched, and the condition is asked again after it:
// a wait ends on the pass that brings it about, and one already true runs no pass.
TEST_F(AudioTestSupport, PumpingRunsTheLoopsWorkAndWatchesEachPassUntilTheConditionHolds) {
    int ran = 0, passes = 0;
    const auto watch = [&] { ++passes; };
    for (int block = 0; block < 3; ++block) RunLoop::current().performBlock([&] { ++ran; });
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "the posted blocks", [&] { return ran == 3; }, watch));
    passes = 0;
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "three passes", [&] { return passes == 3; }, watch));
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "a condition already true", [] { return true; }, watch));
    EXPECT_EQ(passes, 3);
}
