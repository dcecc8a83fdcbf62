#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/foundation/Value.h"
#include "support/AllocationCounter.h"

namespace {
int observerA, observerB, observerC, observerD, senderX, senderY;  // identified by address
}  // namespace

TEST(NotificationCenter, DeliversByNameAndSenderInRegistrationOrder) {
    NotificationCenter center;
    std::string calls;
    const auto record = [&](const char* who) {
        return [&calls, who](const Notification& n) { calls += std::string(who) + n.name + (n.object == &senderX ? "X " : n.object ? "Y " : "- "); };
    };
    center.addObserver(&observerA, "tick", nullptr, record("A"));
    center.addObserver(&observerB, "", nullptr, record("B"));
    center.addObserver(&observerC, "tick", &senderX, record("C"));
    center.addObserver(&observerD, "", &senderY, record("D"));
    for (auto [name, sender] : {std::pair{"tick", &senderX}, {"tock", &senderY}, {"tick", nullptr}}) center.postNotification(name, sender);
    EXPECT_EQ(calls, "AtickX BtickX CtickX BtockY DtockY Atick- Btick- ");
    // Removal by name and sender takes only what matches (B observes any sender, not X); by observer, the rest.
    center.addObserver(&observerA, "tock", nullptr, record("A"));
    center.removeObserver(&observerA, "tick", nullptr);
    center.removeObserver(&observerB, "", &senderX);
    calls.clear();
    for (auto [name, sender] : {std::pair{"tick", &senderX}, {"tock", nullptr}}) center.postNotification(name, sender);
    center.removeObserver(&observerB);
    center.postNotification("tock", nullptr);
    EXPECT_EQ(calls, "BtickX CtickX Btock- Atock- Atock- ");
}

TEST(NotificationCenter, ObserversMayChangeRegistrationsDuringAPostFromAnyThread) {
    NotificationCenter center;
    std::string calls;
    // A removes itself and C (not yet called); B still runs; D is added and waits for the next post.
    center.addObserver(&observerA, "go", nullptr, [&](const Notification&) {
        calls += "A";
        center.removeObserver(&observerA);
        center.removeObserver(&observerC);
        center.addObserver(&observerD, "go", nullptr, [&](const Notification&) { calls += "D"; });
    });
    for (auto [observer, name] : {std::pair{&observerB, "B"}, {&observerC, "C"}}) {
        center.addObserver(observer, "go", nullptr, [&calls, name](const Notification&) { calls += name; });
    }
    for (int post = 0; post < 2; ++post) center.postNotification("go", nullptr);
    // Removing everybody from the first callback stops that post there.
    center.addObserver(&observerA, "all", nullptr, [&](const Notification&) {
        calls += "a";
        for (const int* observer : {&observerA, &observerB, &observerC, &observerD}) center.removeObserver(observer);
    });
    center.addObserver(&observerB, "all", nullptr, [&](const Notification&) { calls += "b"; });
    for (const char* name : {"all", "all", "go"}) center.postNotification(name, nullptr);
    EXPECT_EQ(calls, "ABBDa");
    std::atomic<int> received{0};
    std::vector<std::thread> threads;
    for (const int* self : {&observerA, &observerB, &observerC, &observerD}) {  // a distinct observer and sender each
        threads.emplace_back([&center, &received, self] {
            for (int i = 0; i < 200; ++i) {
                center.addObserver(self, "threaded", self, [&](const Notification&) { ++received; });
                center.postNotification("threaded", self);
                center.removeObserver(self);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(received, 4 * 200);
}

// An animation posts one notification per frame shown: posting to a long name, with user info,
// must allocate nothing once the observers are registered.
TEST(NotificationCenter, PostingAllocatesNothing) {
    NotificationCenter center;
    const std::string name = "AFrameWasShownWithANameLongerThanTheInlineBuffer";
    const auto userInfo = std::make_shared<const Value>(Value(3));
    int calls = 0;
    center.addObserver(&observerA, name, nullptr, [&](const Notification& n) { calls += n.userInfo->intValue(); });
    center.addObserver(&observerB, "other", nullptr, [&](const Notification&) { calls += 100; });
    AllocationCounter allocations;
    for (int i = 0; i < 10; ++i) center.postNotification(name, &senderX, userInfo);
    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_EQ(calls, 30);
}
