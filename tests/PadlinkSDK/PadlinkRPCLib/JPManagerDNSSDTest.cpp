#include <avahi-compat-libdns_sd/dns_sd.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "DiscoveryRecorder.h"
#include "PadlinkRecorder.h"
#include "SimulatedPhone.h"
#include "platform/foundation/Log.h"

namespace {

// A phone registered with the real mDNS daemon is found, resolved and connected end to end, its
// input word echoed. Runs itself again inside dnssd-sandbox.sh (a private network where this
// machine is 10.9.9.1, with its own daemon); skipped where that sandbox cannot run.
TEST(JPManagerDNSSDTest, ConnectsToAPhoneRegisteredThroughDNSSD) {
    if (!std::getenv("VANTREL_DNSSD_SANDBOX")) {
        const auto script = std::filesystem::path(VANTREL_TEST_SOURCES "/PadlinkSDK/PadlinkRPCLib/dnssd-sandbox.sh");
        const std::string self = std::filesystem::read_symlink("/proc/self/exe");
        const int status = std::system((script.string() + " " + self + " --gtest_filter=JPManagerDNSSDTest.*").c_str());
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no sandbox here: see its reason above";
        EXPECT_EQ(status, 0);
        return;
    }
    LogCapture log;
    JPServiceDiscovery::shared();  // the system's backend; silences the library's banner before the phone registers
    JPManager* manager = JPManager::sharedManager();
    SimulatedPhone phone(0x0A090901);
    phone.start(SimulatedPhone::readyScript);
    DNSServiceRef registration = nullptr;
    ASSERT_EQ(DNSServiceRegister(&registration, 0, 0, "Sandbox Phone", "_padlink._tcp", nullptr, nullptr,
                                 htons(phone.port()), 0, nullptr, nullptr, nullptr),
              kDNSServiceErr_NoError);
    PadlinkRecorder delegate("", kJPDelegationDeviceDidConnect);
    manager->setDelegate(&delegate);
    manager->setGameState(0);
    EXPECT_TRUE(pumpMainUntil([&] { return manager->devicesCount() == 1 && phone.reached; }));
    EXPECT_EQ(delegate.events, "connected Sandbox Phone");
    for (const auto& device : manager->connectedDevices()) device->disconnect();
    pumpMainUntil([&] { return phone.done.load(); });
    manager->setDelegate(nullptr);
    DNSServiceRefDeallocate(registration);
}

}  // namespace
