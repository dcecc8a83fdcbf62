#include "platform/foundation/Object.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"

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
        RefPtr<Probe> first = makeRef<Probe>(&deaths);
        EXPECT_EQ(first->retainCount(), 1u);
        RefPtr<Probe> second = first;
        EXPECT_EQ(first->retainCount(), 2u);
        RefPtr<Object> asBase = std::move(second);
        EXPECT_EQ(first->retainCount(), 2u);
        EXPECT_FALSE(second);
        EXPECT_EQ(refCast<Probe>(asBase), first);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(Object, DescriptionNamesTheClass) {
    int deaths = 0;
    RefPtr<Probe> probe = makeRef<Probe>(&deaths);
    EXPECT_NE(probe->description().find("Probe = 0x"), std::string::npos);
}

TEST(Log, CaptureTakesLinesAndNests) {
    LogCapture outer;
    logLine("first %d", 1);
    {
        LogCapture inner;
        logLine("second\n");
        EXPECT_EQ(inner.lines(), std::vector<std::string>{"second"});
    }
    EXPECT_EQ(outer.lines(), std::vector<std::string>{"first 1"});
    EXPECT_TRUE(outer.contains("irst"));
}
