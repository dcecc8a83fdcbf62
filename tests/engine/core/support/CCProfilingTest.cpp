#include "engine/core/support/CCProfiling.h"

#include <gtest/gtest.h>

#include "engine/core/support/CCProfiler.h"
#include "platform/foundation/Log.h"

TEST(CCProfiling, OnlyBegunNamesMakeTimersAndTheyAreDisplayedInNameOrder) {
    CCProfiler* profiler = CCProfiler::sharedProfiler();
    ccProfilingEnd("never begun");
    ccProfilingReset("never begun");
    EXPECT_EQ(profiler->timerWithName("never begun"), nullptr);
    for (const char* name : {"update", "draw"}) ccProfilingBegin(name);
    ccProfilingEnd("update");
    LogCapture capture;
    profiler->displayTimers();
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0].rfind("draw ::", 0), 0u);
    EXPECT_EQ(capture.lines()[1].rfind("update ::", 0), 0u);
    profiler->releaseAllTimers();
}
