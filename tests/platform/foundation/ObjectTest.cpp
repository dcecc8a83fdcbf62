#include "platform/foundation/Object.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {
struct Probe : Object {
    explicit Probe(int* deaths) : deaths_(deaths) {}
    ~Probe() override { ++*deaths_; }
    int* deaths_;
};

// Hands itself to an owner while it is made.
struct SelfRegistering : Probe {
    SelfRegistering(int* deaths, std::vector<RefPtr<Object>>* owners) : Probe(deaths) { owners->emplace_back(this); }
};
}  // namespace

TEST(Object, LastOwnerDeletesAndCountsFollowOwners) {
    int deaths = 0;
    {
        RefPtr<Probe> first = makeRef<Probe>(&deaths), second = first;
        RefPtr<Object> asBase = std::move(second);
        EXPECT_TRUE(first->retainCount() == 2u && !second && refCast<Probe>(asBase) == first);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(Object, AdoptingAddsToOwnersTakenWhileMadeAndConcurrentLastReleasesDeleteOnce) {
    int deaths = 0;
    std::vector<RefPtr<Object>> owners;
    auto adopted = RefPtr<SelfRegistering>::adoptNew(new SelfRegistering(&deaths, &owners));
    owners.clear();
    EXPECT_TRUE(adopted->retainCount() == 1u && deaths == 0);
    adopted.reset();
    // Owners on several threads letting go at once: one of them deletes.
    for (int round = 0; round < 100; ++round) {
        auto shared = RefPtr<Probe>::adoptNew(new Probe(&deaths));
        std::vector<std::thread> threads(4);
        for (std::thread& thread : threads) thread = std::thread([copy = shared]() mutable { copy.reset(); });
        shared.reset();
        for (std::thread& thread : threads) thread.join();
    }
    EXPECT_EQ(deaths, 101);
}
