#include "engine/core/support/CCProfiling.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/foundation/Log.h"

TEST(CCProfiling, IntervalsBlendByHalvesAndResetRestoresTheStart) {
    CCProfiler* profiler = CCProfiler::sharedProfiler();
    profiler->releaseAllTimers();

    ccProfilingBegin("frame");
    ccProfilingEnd("frame");
    CCProfilingTimer* timer = profiler->timerWithName("frame");
    ASSERT_NE(timer, nullptr);
    const double first = timer->totalTime();
    EXPECT_GE(first, 0);
    EXPECT_EQ(timer->averageTime(), first / 2);  // a fresh timer's first interval counts one half

    ccProfilingBegin("frame");
    ccProfilingEnd("frame");
    const double second = timer->totalTime() - first;
    EXPECT_NEAR(timer->averageTime(), (first / 2 + second) / 2, 1e-9);
    EXPECT_NEAR(timer->minTime(), std::min(first, second), 1e-9);
    EXPECT_NEAR(timer->maxTime(), std::max(first, second), 1e-9);
    EXPECT_EQ(timer->numberOfCalls(), 2u);

    ccProfilingReset("frame");
    EXPECT_EQ(timer->averageTime(), 0);
    EXPECT_EQ(timer->minTime(), 10000);
    EXPECT_EQ(timer->totalTime(), 0);
    EXPECT_EQ(timer->numberOfCalls(), 0u);

    // Ends and resets of unknown names do nothing (and make no timer).
    ccProfilingEnd("never begun");
    ccProfilingReset("never begun");
    EXPECT_EQ(profiler->timerWithName("never begun"), nullptr);
    profiler->releaseAllTimers();
}

TEST(CCProfiling, DescriptionsAndDisplay) {
    CCProfiler* profiler = CCProfiler::sharedProfiler();
    profiler->releaseAllTimers();
    CCProfilingTimer* draw = profiler->createAndAddTimerWithName("draw");
    EXPECT_EQ(draw->description(),
              "draw ::\tavg: 0.000000ms,\tmin: 10000.000000ms,\tmax: 0.000000ms,\ttotal: 0.00s,\tnr calls: 0");
    profiler->createAndAddTimerWithName("audio");
    profiler->createAndAddTimerWithName("update");
    profiler->releaseTimer("update");
    EXPECT_EQ(profiler->timerWithName("update"), nullptr);

    LogCapture capture;
    profiler->displayTimers();
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("audio ::\tavg: ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("draw ::\tavg: ", 0), 0u);

    profiler->releaseAllTimers();
    capture.clear();
    profiler->displayTimers();
    EXPECT_TRUE(capture.lines().empty());
}
