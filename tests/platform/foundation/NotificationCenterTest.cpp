#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {
// Observers are identified by address; these give distinct ones.
int observerA, observerB, observerC, observerD;
int senderX, senderY;
}  // namespace

TEST(NotificationCenter, DeliversByNameAndSenderInRegistrationOrder) {
    NotificationCenter center;
    std::vector<std::string> calls;
    auto record = [&](std::string who) {
        return [&calls, who](const Notification& n) {
            calls.push_back(who + ":" + n.name + (n.object == &senderX ? "@X" : n.object ? "@Y" : "@-"));
        };
    };
    center.addObserver(&observerA, "tick", nullptr, record("A"));
    center.addObserver(&observerB, "", nullptr, record("B"));
    center.addObserver(&observerC, "tick", &senderX, record("C"));
    center.addObserver(&observerD, "", &senderY, record("D"));

    center.postNotification("tick", &senderX);
    center.postNotification("tock", &senderY);
    center.postNotification("tick", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"A:tick@X", "B:tick@X", "C:tick@X", "B:tock@Y", "D:tock@Y",
                                               "A:tick@-", "B:tick@-"}));

    // Removal by name and sender takes only what matches; removal by observer takes the rest.
    center.addObserver(&observerA, "tock", nullptr, record("A"));
    center.removeObserver(&observerA, "tick", nullptr);
    center.removeObserver(&observerB, "", &senderX);  // B observes any sender, not X: stays
    calls.clear();
    center.postNotification("tick", &senderX);
    center.postNotification("tock", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"B:tick@X", "C:tick@X", "B:tock@-", "A:tock@-"}));
    center.removeObserver(&observerB);
    calls.clear();
    center.postNotification("tock", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"A:tock@-"}));
}

TEST(NotificationCenter, ObserversMayChangeRegistrationsDuringAPost) {
    NotificationCenter center;
    std::vector<std::string> calls;

    // A removes itself and C (not yet called); B still runs; D is added and waits for the next post.
    center.addObserver(&observerA, "go", nullptr, [&](const Notification&) {
        calls.push_back("A");
        center.removeObserver(&observerA);
        center.removeObserver(&observerC);
        center.addObserver(&observerD, "go", nullptr, [&](const Notification&) { calls.push_back("D"); });
    });
    center.addObserver(&observerB, "go", nullptr, [&](const Notification&) { calls.push_back("B"); });
    center.addObserver(&observerC, "go", nullptr, [&](const Notification&) { calls.push_back("C"); });
    center.postNotification("go", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"A", "B"}));
    calls.clear();
    center.postNotification("go", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"B", "D"}));

    // Removing everybody from the first callback stops the post there.
    calls.clear();
    center.addObserver(&observerA, "all", nullptr, [&](const Notification&) {
        calls.push_back("A");
        for (const int* observer : {&observerA, &observerB, &observerC, &observerD}) center.removeObserver(observer);
    });
    center.addObserver(&observerB, "all", nullptr, [&](const Notification&) { calls.push_back("B"); });
    center.postNotification("all", nullptr);
    center.postNotification("all", nullptr);
    center.postNotification("go", nullptr);
    EXPECT_EQ(calls, std::vector<std::string>{"A"});
}

TEST(NotificationCenter, RegistersAndPostsFromManyThreads) {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    EXPECT_EQ(&center, &NotificationCenter::defaultCenter());
    std::atomic<int> received{0};
    std::vector<std::thread> threads;
    int identities[4];  // a distinct observer and sender per thread
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const void* self = &identities[t];
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
