#include "PadlinkSDK/JSONCore/JPJKBlockPool.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

TEST(JPJKBlockPool, BlocksReleasedOnAnotherThreadAreReusedInsteadOfPilingUp) {
    // Made on a worker, released here: the surplus must reach the next worker that allocates.
    std::vector<void*> blocks(4096);
    std::thread([&] {
        for (void*& block : blocks) block = JPJKBlockPool::allocate(48);
    }).join();
    for (void* block : blocks) JPJKBlockPool::deallocate(block, 48);
    const std::set<void*> released(blocks.begin(), blocks.end());
    size_t reused = 0;
    std::thread([&] {
        std::vector<void*> again(1024);
        for (void*& block : again) reused += released.count(block = JPJKBlockPool::allocate(33));
        for (void* block : again) JPJKBlockPool::deallocate(block, 33);
    }).join();
    EXPECT_EQ(reused, 1024u);
}
