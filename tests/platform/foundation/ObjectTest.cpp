#include "platform/foundation/Object.h"

#include <gtest/gtest.h>

namespace {
struct Probe : Object {
    explicit Probe(int* deaths) : deaths_(deaths) {}
    ~Probe() override { ++*deaths_; }
    int* deaths_;
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
