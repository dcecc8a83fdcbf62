#include "platform/foundation/PostedWork.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

TEST(PostedWork, WhatOutsideDataMayCauseIsLoggedAndTheThreadGoesOn) {
    const std::function<void()> blocks[] = {
        [] { throw std::bad_alloc(); },
        [] { throw std::runtime_error("a library refused"); },
        [] { throw 42; },
    };
    const char* expected[] = {"Test: a posted block threw: std::bad_alloc", "Test: a posted block threw: a library refused",
                              "Test: a posted block threw a non-standard exception"};
    for (int i = 0; i < 3; ++i) {
        LogCapture capture;
        runPostedWork("Test", blocks[i]);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{expected[i]});
    }
}

// Every way work is posted: a run-loop pass, a wait on the loop's own thread (inline), a timer,
// and the global queue.
TEST(PostedWorkDeathTest, ABrokenInvariantInPostedWorkEndsTheProgramWithItsMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::function<void()> broken = [] { CC_REQUIRE(false, "NSRangeException", "index %d beyond bounds", 7); };
    const std::function<void()> ways[] = {
        [&] {
            RunLoop::current().performBlock(broken);
            RunLoop::current().runOnce();
        },
        [&] { RunLoop::current().performBlock(broken, true); },
        [&] {
            RunLoop::current().scheduleTimer(0, false, broken);
            RunLoop::current().waitForWork(60);  // returns once the timer is due
            RunLoop::current().runOnce();
        },
        [&] { DispatchQueue::global()->sync(broken); },
    };
    for (const auto& post : ways) EXPECT_DEATH(post(), "NSRangeException: index 7 beyond bounds");
}
