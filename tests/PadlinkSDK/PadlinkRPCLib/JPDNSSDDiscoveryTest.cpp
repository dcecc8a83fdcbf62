#include <arpa/inet.h>
#include <avahi-compat-libdns_sd/dns_sd.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "DiscoveryRecorder.h"
#include "PadlinkSDK/PadlinkRPCLib/JPDNSSDDiscovery.h"
#include "platform/foundation/Log.h"

namespace {

constexpr const char* kThisTest = "JPDNSSDDiscoveryTest.FindsAndResolvesAPhoneOnAPrivateNetwork";

// Set by dnssd-sandbox.sh for the command it runs inside its private network.
const bool kInsideSandbox = std::getenv("VANTREL_DNSSD_SANDBOX") != nullptr;
TEST(JPDNSSDDiscoveryTest, WithoutADaemonDiscoveryReportsAndGoesOn) {
    if (kInsideSandbox) GTEST_SKIP() << "a daemon runs in the sandbox";
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:abstract=vantrel-no-such-bus", 1);
    LogCapture log;
    DiscoveryRecorder recorder;
    auto browser = makeRef<JPNetServiceBrowser>("", "_padlink._tcp.");
    browser->startBrowse();
    EXPECT_TRUE(log.contains("Padlink: Phones cannot be found: the local network discovery service is not running"));
    auto service = makeRef<JPNetService>("local.", "_padlink._tcp.", "phone", 0);
    service->setDelegate(&recorder);
    service->startResolve();
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"failed NSNetServicesErrorDomain -65537", "stopped"}));
}

// A phone registered with the real daemon is browsed, resolved and its host's address found. Runs
// itself again inside dnssd-sandbox.sh, which gives it a private network with its own daemon.
TEST(JPDNSSDDiscoveryTest, FindsAndResolvesAPhoneOnAPrivateNetwork) {
    if (!kInsideSandbox) {
        const auto script = std::filesystem::path(VANTREL_TEST_SOURCES "/PadlinkSDK/PadlinkRPCLib/dnssd-sandbox.sh");
        const std::string self = std::filesystem::read_symlink("/proc/self/exe");
        const int status = std::system((script.string() + " " + self + " --gtest_filter=" + kThisTest).c_str());
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no sandbox here: see its reason above";
        EXPECT_EQ(status, 0);
        return;
    }
    JPServiceDiscovery::shared();  // silences the library's banner before the phone's first call
    DNSServiceRef phone = nullptr;
    ASSERT_EQ(DNSServiceRegister(&phone, 0, 0, "Test Phone", "_padlink._tcp", nullptr, nullptr, htons(5555), 0,
                                 nullptr, nullptr, nullptr),
              kDNSServiceErr_NoError);
    DiscoveryRecorder recorder;
    auto browser = makeRef<JPNetServiceBrowser>("", "_padlink._tcp.");
    browser->setDelegate(&recorder);
    browser->startBrowse();
    ASSERT_TRUE(pumpMainUntil([&] { return !recorder.added.empty(); }));
    const RefPtr<JPNetService> service = recorder.added.front();
    EXPECT_EQ(service->name(), "Test Phone");
    service->setDelegate(&recorder);
    service->startResolve();
    EXPECT_TRUE(pumpMainUntil([&] { return !service->isResolving(); }));
    EXPECT_EQ(recorder.lines.at(1), "resolved vantrel-sandbox.local. 10.9.9.1 5555");
    DNSServiceRefDeallocate(phone);
}

}  // namespace
