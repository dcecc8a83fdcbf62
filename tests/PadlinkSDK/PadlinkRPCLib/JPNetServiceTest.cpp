#include <arpa/inet.h>

#include "DiscoveryRecorder.h"
#include "JPFakeDiscovery.h"
#include "platform/foundation/Log.h"

namespace {

using Browse = JPServiceDiscovery::BrowseReply;
using Resolve = JPServiceDiscovery::ResolveReply;
using Record = JPServiceDiscovery::RecordReply;
using Lines = std::vector<std::string>;
constexpr const char* kType = "_padlink._tcp.";

class DiscoveryTest : public ::testing::Test {
protected:
    DiscoveryTest() { JPServiceDiscovery::setShared(fake_); }
    ~DiscoveryTest() override {
        JPServiceDiscovery::setShared(nullptr);
        JPNetService::setResolveTimeout(8);
        JPNetServiceBrowser::setRetryInterval(5);
    }
    // Starts resolving a service that nobody else holds.
    void startResolve() {
        auto service = makeRef<JPNetService>("local.", kType, "phone", 3);
        service->setDelegate(&recorder_);
        service->startResolve();
    }
    // Runs the main loop's timers and posted work for `seconds`.
    static void pumpMainFor(double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            RunLoop::main().waitForWork(0.01);
            RunLoop::main().runOnce();
        }
    }
    size_t logged(const std::string& text) const {
        size_t count = 0;
        for (const std::string& line : log_.lines()) count += line.find(text) != std::string::npos;
        return count;
    }
    std::string lastStarted() const {
        return fake_->started.back()->name + " " + std::to_string(fake_->started.back()->interfaceIndex);
    }

    RefPtr<JPFakeDiscovery> fake_ = makeRef<JPFakeDiscovery>();
    DiscoveryRecorder recorder_;
    LogCapture log_;
};

TEST_F(DiscoveryTest, BrowserReportsServicesOfOrdinaryInterfacesOnly) {
    auto browser = makeRef<JPNetServiceBrowser>("", kType);
    browser->setDelegate(&recorder_);
    browser->startBrowse();
    const uint32_t p2p = JPServiceDiscovery::kInterfaceIndexP2P;
    for (const Browse& reply : {Browse{{2, 3, 0}, "one", kType, "local."}, Browse{{0, 3, 0}, "one", kType, "local."},
                                Browse{{0, 0, -65537}, "", "", ""}, Browse{{2, p2p, 0}, "peer", kType, "local."},
                                Browse{{2, p2p, 0}, "peer2", kType, "local."}}) {
        fake_->reply(reply);
    }
    EXPECT_EQ(recorder_.lines, (Lines{"add one", "remove one"}));
    EXPECT_TRUE(log_.contains("ServiceBrowseReply got an error! -65537"));
    // A peer-to-peer report replaces the pending resolve of the last one; its first reply ends it.
    EXPECT_EQ(lastStarted(), "peer2 " + std::to_string(p2p));
    EXPECT_FALSE(fake_->started[1]->live);
    fake_->reply(Resolve{});
    EXPECT_FALSE(fake_->started[2]->live);
    // The same service reported on another interface is the same service.
    EXPECT_TRUE(recorder_.added[0]->isEqual(JPNetService("local.", kType, "one", 7)));
}

// Without a daemon every start of browsing fails: the player is told once why phones cannot be
// found, and the browser keeps trying quietly until browsing starts or it is stopped.
TEST_F(DiscoveryTest, ABrowseThatCannotStartIsToldOnceAndRetriedQuietly) {
    JPNetServiceBrowser::setRetryInterval(0.02);
    auto browser = makeRef<JPNetServiceBrowser>("", kType);
    browser->setDelegate(&recorder_);
    const std::string noDaemon = "Padlink: Phones cannot be found: the local network discovery service is not running";
    fake_->failStarts = JPServiceDiscovery::kErrorUnknown;
    for (int sceneChange = 0; sceneChange < 4; ++sceneChange) {
        browser->startBrowse();
        browser->stop();
    }
    browser->startBrowse();
    pumpMainFor(0.2);  // ten tries
    EXPECT_EQ(log_.lines().size(), 1u);
    EXPECT_EQ(logged(noDaemon), 1u);
    EXPECT_EQ(logged("avahi-daemon"), 1u) << "names the package that provides the service";

    // The daemon comes: the next try browses, and its services reach the delegate.
    fake_->failStarts = 0;
    ASSERT_TRUE(pumpMainUntil([&] { return !fake_->started.empty(); }));
    fake_->reply(Browse{{2, 3, 0}, "phone", kType, "local."});
    EXPECT_EQ(recorder_.lines, (Lines{"add phone"}));
    EXPECT_EQ(fake_->started.size(), 1u) << "no more tries once browsing";

    // Failing again after browsing had started is told again, once, and other codes name theirs.
    fake_->failStarts = -65540;
    browser->startBrowse();
    browser->startBrowse();
    EXPECT_EQ(logged("Padlink: Error starting the service browser: -65540"), 1u);
    EXPECT_EQ(log_.lines().size(), 2u);

    // A stopped browser tries no more.
    browser->stop();
    fake_->failStarts = 0;
    pumpMainFor(0.1);
    EXPECT_EQ(fake_->started.size(), 1u);
}

TEST_F(DiscoveryTest, ResolveQueriesTheHostAddressWhileTheServiceKeepsItselfAlive) {
    startResolve();
    fake_->reply(Resolve{{0, 4, 0}, "phone.local.", htons(5555)});
    EXPECT_EQ(lastStarted(), "phone.local. 4");
    fake_->reply(Record{{0, 4, 0}, 28, std::vector<uint8_t>(16)});  // not an IPv4 address record
    fake_->reply(Record{{0, 4, 0}, 1, {10, 9, 9}});
    EXPECT_TRUE(recorder_.lines.empty() && log_.contains("Ignored an address record of 3 bytes"));
    fake_->reply(Record{{0, 4, 0}, 1, {10, 9, 9, 1}});
    EXPECT_EQ(recorder_.lines, (Lines{"resolved phone.local. 10.9.9.1 5555", "stopped"}));
    for (const auto& operation : fake_->started) EXPECT_FALSE(operation->live);
}

// Failed starts, failed replies and time-outs; the delegate leaves from its failure report, so it
// hears nothing more.
TEST_F(DiscoveryTest, EveryFailureReachesTheDelegateOnce) {
    JPNetService::setResolveTimeout(0.05);
    recorder_.onFailure = [](JPNetService* service) { service->setDelegate(nullptr); };
    const Resolve resolved{{0, 3, 0}, "phone.local.", htons(1)};
    const std::pair<int32_t, std::function<void(JPFakeDiscovery&)>> cases[] = {  // code, replies
        {-65554, [](JPFakeDiscovery& fake) { fake.reply(Resolve{{0, 3, -65554}, "", 0}); }},
        {-65540, [&](JPFakeDiscovery& fake) { fake.failStarts = -65540, fake.reply(resolved); }},
        {-65538, [&](JPFakeDiscovery& fake) { fake.reply(resolved), fake.reply(Record{{0, 3, -65538}, 0, {}}); }},
        {-65568, [](JPFakeDiscovery&) {}},
        {-65568, [&](JPFakeDiscovery& fake) { fake.reply(resolved); }},  // a host without an address
    };
    for (const auto& [code, replies] : cases) {
        recorder_.lines.clear();
        fake_->failStarts = 0;
        startResolve();
        replies(*fake_);
        EXPECT_TRUE(pumpMainUntil([&] { return !recorder_.lines.empty(); })) << code;
        EXPECT_EQ(recorder_.lines, (Lines{"failed NSNetServicesErrorDomain " + std::to_string(code)}));
        for (const auto& operation : fake_->started) EXPECT_FALSE(operation->live) << code;
    }
}

}  // namespace
