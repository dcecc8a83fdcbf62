// A phone in the menu end to end: the controller library's simulated phone connects to the game,
// receives the layout of every screen the menu shows, and turns the world with its right arrow
// (button 15). Once over loopback with a stand-in discovery, once through a private mDNS daemon
// (skipped where that sandbox cannot run). The menu needs a window for its pictures, so this runs
// with the drawing tests, on loopback only.

#include <avahi-compat-libdns_sd/dns_sd.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "../../PadlinkSDK/PadlinkRPCLib/DiscoveryRecorder.h"
#include "../../PadlinkSDK/PadlinkRPCLib/JPFakeDiscovery.h"
#include "../../PadlinkSDK/PadlinkRPCLib/SimulatedPhone.h"
#include "PadlinkSDK/PadlinkRPCLib/JPHiddenManager.h"
#include "PadlinkSDK/PadlinkRPCLib/Padlink_SharedUDID.h"
#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "shell/VantrelNetworkControl.h"
#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/Stats.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "tests/app/menu/MenuTestSupport.h"

namespace {

using Discovery = JPServiceDiscovery;

// The phone's script: handshake, then send the word the test hands over, then note the layouts
// the game sends until it hangs up.
struct PhoneScript {
    std::atomic<uint64_t> wordToSend{0};
    std::atomic<bool> sent{false};
    std::mutex mutex;
    std::vector<std::string> layouts;  // bodies of the game's "updateLayout" calls, in order

    void operator()(SimulatedPhone& phone) {
        const auto gamePort = static_cast<uint16_t>(phone.ask("dataPortNum").integerValue());
        phone.ask("ready");
        phone.reached = true;
        std::thread sender([&] {
            while (wordToSend == 0 && !phone.done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (wordToSend == 0) return;
            phone.sendDatagram(gamePort, SimulatedPhone::word(wordToSend));
            sent = true;
        });
        for (std::string body; !(body = phone.nextCall()).empty();) {
            if (body.find("updateLayout") == std::string::npos) continue;
            std::lock_guard lock(mutex);
            layouts.push_back(body);
        }
        phone.done = true;
        sender.join();
    }
    std::vector<std::string> takeLayouts() {
        std::lock_guard lock(mutex);
        return std::exchange(layouts, {});
    }
};

class MenuPhoneTest : public menutest::MenuWindowTest {
protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        for (const char* image : {"padlink_bg.png", "padlink_arrow_left.png", "padlink_arrow_right.png"}) {
            resources_.write(image, "PNG!");
        }
        Padlink_SharedUDID::setStoreLocations(data_.file("defaults.plist"), data_.file("slots"));
        JPHiddenManager::setConnectDelay(0);
    }

    void TearDown() override {
        if (layer_) layer_->onExit(), layer_->cleanup();
        layer_.reset();
        for (const auto& device : manager_->connectedDevices()) device->disconnect();
        pumpMainUntil([&] { return manager_->devicesCount() == 0; });
        control_.reset();
        manager_->setGameState(1);
        Padlink_SharedUDID::setStoreLocations("", "");
        MenuWindowTest::TearDown();
    }

    void openMenu() {
        levels_ = std::make_unique<Levels>(menutest::writeCatalogue(resources_, 1), data_.path(), nullptr,
                                           [] { return false; });
        stats_ = std::make_unique<Stats>(data_.path());
        rank_ = std::make_unique<Rank>(*levels_, *stats_, nullptr, [] { return false; });
        control_ = std::make_unique<VantrelNetworkControl>(*manager_);
        layer_ = makeRef<VantrelMenuLayer>();
        layer_->setNetworkControl(control_.get());
        ASSERT_TRUE(layer_->initWithProgress(levels_.get(), stats_.get(), rank_.get()));
        layer_->onEnter();
    }

    // Shows each screen in turn; the phone must get each one's layout.
    void showEveryScreenAndTurnRight(SimulatedPhone& phone, PhoneScript& script) {
        ASSERT_TRUE(pumpMainUntil([&] { return manager_->devicesCount() == 1 && phone.reached; }));
        pumpMainUntil([] { return false; }, 0.3);
        script.takeLayouts();
        const std::pair<const char*, const char*> cases[] = {
            {"credits", nullptr}, {"settings", "padlink_gamecontrols.png"}, {"instructions", "padlink_instructions.png"},
            {"title", nullptr},
        };
        for (const auto& [name, image] : cases) {
            layer_->showScreen(layer_->getScreenIndex(name), true);
            while (layer_->isTransitioning()) layer_->update(1.0f / 60);
            ASSERT_TRUE(pumpMainUntil([&] {
                std::lock_guard lock(script.mutex);
                return !script.layouts.empty();
            })) << name;
            const std::vector<std::string> layouts = script.takeLayouts();
            ASSERT_EQ(layouts.size(), 1u) << name;
            EXPECT_NE(layouts[0].find("padlink_arrow_right.png"), std::string::npos) << name;
            if (image) {
                EXPECT_NE(layouts[0].find(image), std::string::npos) << name;
            }
        }

        // The right arrow's bit in the title's layout, in that layout's slot.
        const RefPtr<JPControllerLayout> layout = manager_->controllerLayout();
        ASSERT_NE(layout, nullptr);
        uint64_t word = uint64_t(layout->layoutNumber()) << 62;
        for (const auto& component : layout->inputComponentTemplates()) {
            if (component->inputIdentifier() == 15) word |= uint64_t{1} << component->bitOffset();
        }
        const int32_t title = layer_->currentScreenIndex();
        script.wordToSend = word;
        EXPECT_TRUE(pumpMainUntil([&] { return layer_->currentScreenIndex() != title; }));
        EXPECT_EQ(layer_->currentScreenIndex(), (title + 1) % layer_->screenCount());

        // The phone's script ends when the game hangs up.
        for (const auto& device : manager_->connectedDevices()) device->disconnect();
        EXPECT_TRUE(pumpMainUntil([&] { return phone.done.load(); }));
    }

    static bool pumpMainUntil(const std::function<bool()>& done, double seconds = 10) {
        for (auto giveUp = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
             !done() && std::chrono::steady_clock::now() < giveUp;) {
            RunLoop::main().waitForWork(0.05);
            RunLoop::main().runOnce();
        }
        return done();
    }

    TemporaryFolder data_;
    JPManager* manager_ = JPManager::sharedManager();
    std::unique_ptr<VantrelNetworkControl> control_;
    std::unique_ptr<Levels> levels_;
    std::unique_ptr<Stats> stats_;
    std::unique_ptr<Rank> rank_;
    RefPtr<VantrelMenuLayer> layer_;
    LogCapture log_;
};

TEST_F(MenuPhoneTest, APhoneOnLoopbackGetsEachScreensLayoutAndTurnsTheWorld) {
    const RefPtr<JPFakeDiscovery> discovery = makeRef<JPFakeDiscovery>();
    Discovery::setShared(discovery);
    openMenu();
    PhoneScript script;
    SimulatedPhone phone;
    phone.start(std::ref(script));
    ASSERT_TRUE(pumpMainUntil([&] { return !discovery->started.empty(); }));
    discovery->reply(Discovery::BrowseReply{{Discovery::kFlagsAdd, 1, 0}, "menu phone", "_padlink._tcp.", "local."});
    ASSERT_TRUE(pumpMainUntil([&] {
        return std::any_of(discovery->started.begin(), discovery->started.end(),
                           [](const auto& operation) { return operation->kind == "resolve" && operation->live; });
    }));
    discovery->reply(Discovery::ResolveReply{{0, 1, 0}, "menu phone.local.", htons(phone.port())});
    discovery->reply(Discovery::RecordReply{{0, 1, 0}, 1, {127, 0, 0, 1}});
    showEveryScreenAndTurnRight(phone, script);
    Discovery::setShared(nullptr);
}

// The same through the system's mDNS daemon, in a private network where this machine is 10.9.9.1.
TEST_F(MenuPhoneTest, APhoneFoundThroughAPrivateMDNSDaemonTurnsTheWorld) {
    if (!std::getenv("VANTREL_DNSSD_SANDBOX")) {
        const auto sandbox = std::filesystem::path(VANTREL_TEST_SOURCES "/PadlinkSDK/PadlinkRPCLib/dnssd-sandbox.sh");
        const std::string self = std::filesystem::read_symlink("/proc/self/exe");
        const int status = std::system((sandbox.string() + " " + self + " --gtest_filter=MenuPhoneTest.*MDNS*").c_str());
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
            GTEST_SKIP() << "no private mDNS daemon here (it needs root, unshare and avahi-daemon): see the reason above";
        }
        EXPECT_EQ(status, 0);
        return;
    }
    Discovery::shared();  // the system's backend
    openMenu();
    PhoneScript script;
    SimulatedPhone phone(0x0A090901);
    phone.start(std::ref(script));
    DNSServiceRef registration = nullptr;
    ASSERT_EQ(DNSServiceRegister(&registration, 0, 0, "Menu Phone", "_padlink._tcp", nullptr, nullptr,
                                 htons(phone.port()), 0, nullptr, nullptr, nullptr),
              kDNSServiceErr_NoError);
    showEveryScreenAndTurnRight(phone, script);
    DNSServiceRefDeallocate(registration);
}

}  // namespace
