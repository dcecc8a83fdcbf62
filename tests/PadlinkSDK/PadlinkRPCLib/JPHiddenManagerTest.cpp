#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "DiscoveryRecorder.h"
#include "JPFakeDiscovery.h"
#include "PadlinkRecorder.h"
#include "PadlinkSDK/PadlinkRPCLib/JPHiddenManager.h"
#include "PadlinkSDK/PadlinkRPCLib/Padlink_SharedUDID.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/OpenSSLFunctions.h"
#include "SimulatedPhone.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

namespace {

using Lines = std::vector<std::string>;
using Discovery = JPServiceDiscovery;
constexpr const char* kImage = "padlink_bg.png";

// The manager in a menu with one player place, the fake discovery backend, phones on loopback, and
// recorders as its delegate and bottom listener.
class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Discovery::setShared(fake_);
        char folder[] = "/tmp/padlink-manager-XXXXXX";
        setResourceFolder(folder_ = mkdtemp(folder));
        std::ofstream(folder_ + "/" + kImage) << "PNG!";
        Padlink_SharedUDID::setStoreLocations(folder_ + "/defaults.plist", folder_ + "/slots");
        JPHiddenManager::setConnectDelay(0);
        manager_->setImageNames({kImage});
        manager_->setApplicationName("Vantrel");
        manager_->setDelegate(&delegate_);
        manager_->addListener(&listener_);
        manager_->setMaxPlayerCount(1);
        manager_->setGameState(0);
        listener_.events.clear();
        delegate_.events.clear();
    }
    void TearDown() override {
        for (const auto& device : manager_->connectedDevices()) device->disconnect();
        pumpMainUntil([&] { return manager_->devicesCount() == 0; });
        manager_->setGameState(1);
        manager_->removeListener(&listener_);
        manager_->setDelegate(nullptr);
        Discovery::setShared(nullptr);
        std::filesystem::remove_all(folder_);
    }

    // The browser reports a phone running `script`; returns once its resolve has started.
    SimulatedPhone& choosePhone(const std::string& name, std::function<void(SimulatedPhone&)> script = SimulatedPhone::readyScript) {
        SimulatedPhone& phone = phones_.emplace_back();
        phone.start(std::move(script));
        fake_->reply(Discovery::BrowseReply{{Discovery::kFlagsAdd, 1, 0}, name, "_padlink._tcp.", "local."});
        EXPECT_TRUE(pumpMainUntil([&] { return resolving(name); })) << name;
        return phone;
    }
    void answerResolve(const std::string& name, const SimulatedPhone& phone) {
        fake_->reply(Discovery::ResolveReply{{0, 1, 0}, name + ".local.", htons(phone.port())});
        fake_->reply(Discovery::RecordReply{{0, 1, 0}, 1, {127, 0, 0, 1}});
    }
    // Returns once the device is connected and the phone's script has reached its mark.
    JPDevice* connectPhone(const std::string& name, SimulatedPhone& phone) {
        answerResolve(name, phone);
        JPDevice* device = JPHiddenManager::shared()->findDeviceByServiceName(name);
        EXPECT_TRUE(pumpMainUntil([&] { return device->isConnected() && phone.reached; })) << name;
        return device;
    }
    JPDevice* connectPhone(const std::string& name) { return connectPhone(name, choosePhone(name)); }
    bool resolving(const std::string& name) const {
        return std::any_of(fake_->started.begin(), fake_->started.end(),
                           [&](const auto& op) { return op->kind == "resolve" && op->name == name && op->live; });
    }
    static RefPtr<JPControllerLayout> layoutWithButtons(const std::string& image = kImage) {
        auto layout = JPControllerLayout::layout();
        layout->setBackgroundImageName(image);
        layout->addButtonWithFrame(CGRectMake(0, 0, 10, 10), 6);
        layout->addButtonWithFrame(CGRectMake(0, 0, 10, 10), 7);
        return layout;
    }

    JPManager* manager_ = JPManager::sharedManager();
    RefPtr<JPFakeDiscovery> fake_ = makeRef<JPFakeDiscovery>();
    PadlinkRecorder delegate_{"", 0x1F80};
    PadlinkRecorder listener_{"L:"};
    Lines answers_;  // written by phone scripts: outlives the phones' threads
    std::string image_, commandEcho_, dataEcho_;
    std::deque<SimulatedPhone> phones_;
    std::string folder_;
    LogCapture log_;
};

TEST_F(ManagerTest, PhoneHandshakeImagesAndInputWords) {
    manager_->setControllerLayout(layoutWithButtons());
    const uint64_t slot = uint64_t(manager_->controllerLayout()->layoutNumber()) << 62;
    PadlinkRecorder device("D:", 0x7F, &listener_.events);
    listener_.onEvent = [&](JPDevice* connected) {
        if (connected && !connected->delegate()) connected->setDelegate(&device);
    };
    SimulatedPhone& phone = choosePhone("handshake", [&](SimulatedPhone& p) {
        for (const char* method : {"sdkVersion", "appName", "appBundleId", "appVersion", "gameConsoleInstalled",
                                   "bustImageCache", "launchConsole", "servingPortNum", "noSuchMethod"}) {
            answers_.push_back(p.ask(method).description());
        }
        p.send(JPMethodCall::methodCallWithMethodName("displayModal")->body());
        answers_.push_back(p.ask("sdkVersion").description());  // displayModal got no answer
        answers_.push_back(std::to_string(p.ask("UDID").stringValue().size()));
        const auto gamePort = static_cast<uint16_t>(p.ask("dataPortNum", {JPValue(70000)}).integerValue());
        p.sendDatagram(gamePort, SimulatedPhone::word(slot));
        commandEcho_ = p.echo();
        const int stranger = socket(AF_INET, SOCK_DGRAM, 0);  // on 127.0.0.2, pressing button 7
        const sockaddr_in from{AF_INET, 0, {htonl(0x7F000002)}, {}}, to{AF_INET, htons(gamePort), {htonl(0x7F000001)}, {}};
        bind(stranger, reinterpret_cast<const sockaddr*>(&from), sizeof from);
        sendto(stranger, SimulatedPhone::word(slot | 2).data(), 8, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        close(stranger);
        p.ask("dataPortNum", {JPValue(p.bindData())});
        answers_.push_back(p.ask("imageNames").description());
        image_ = SimulatedPhone::fetch(static_cast<uint16_t>(p.ask("servingPortNum").integerValue()), kImage, 4);
        for (const char* method : {"layoutIdentifier", "customLayout", "ready"}) answers_.push_back(p.ask(method).description());
        p.sendDatagram(gamePort, "7 bytes");
        p.sendDatagram(gamePort, SimulatedPhone::word(slot | 1) + "tail");
        dataEcho_ = p.echo();
        p.hangUp();
    });
    answerResolve("handshake", phone);
    ASSERT_TRUE(pumpMainUntil([&] { return phone.done && manager_->devicesCount() == 0; }));
    EXPECT_EQ(answers_, (Lines{"\"0.0.5\"", "\"Vantrel\"", "\"org.vantrel.Vantrel\"", "\"" VANTREL_BUILD_NUMBER "\"",
                               "0", "NO", "NO", "0", "nil", "\"0.0.5\"", "40", "(\"padlink_bg.png\")", "6",
                               "<JPHiddenControllerLayout>", "YES"}));
    EXPECT_EQ(image_, SimulatedPhone::word(5) + "PNG!" + std::string(1, '\0'));
    EXPECT_EQ(commandEcho_, SimulatedPhone::word(slot));
    EXPECT_EQ(dataEcho_, SimulatedPhone::word(slot | 1) + "tail");
    EXPECT_EQ(phone.gameCalls, Lines{"updateLayout"});
    EXPECT_EQ(listener_.events, "L:connected handshake, L:down 6, D:down 6, L:disconnected handshake");
    EXPECT_EQ(delegate_.events, "connected handshake, disconnected handshake");
    for (const char* line : {"dataPortNum without a usable port (70000)", "Dropped an input datagram of 7 bytes",
                             "Dropped an input datagram from 127.0.0.2"}) {
        EXPECT_TRUE(log_.contains(line)) << line;
    }
}

// A call that fails is answered nil and the phone's next call is answered: the identifier without
// OpenSSL (said once in the log, nothing stored). A displayModal refused for its parameters is not
// answered at all.
TEST_F(ManagerTest, AFailedCallIsAnsweredNilAndTheChannelGoesOn) {
    const HiddenOpenSSL withoutOpenSSL;
    SimulatedPhone& phone = choosePhone("failing", [&](SimulatedPhone& p) {
        for (const char* method : {"UDID", "UDID"}) answers_.push_back(p.ask(method).description());
        const auto modal = JPMethodCall::methodCallWithMethodName("displayModal");
        modal->setParams({JPValue("https://example.org"), JPValue(-1), JPValue("wide")});
        p.send(modal->body());
        answers_.push_back(p.ask("sdkVersion").description());
        p.hangUp();
    });
    answerResolve("failing", phone);
    ASSERT_TRUE(pumpMainUntil([&] { return phone.done && manager_->isSearching(); }));
    EXPECT_EQ(answers_, (Lines{"nil", "nil", "\"0.0.5\""}));
    const Lines lines = log_.lines();
    const auto namesLibssl = [](const std::string& line) { return line.find("libssl3 (libssl.so.3)") != line.npos; };
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), namesLibssl), 1);
    EXPECT_TRUE(log_.contains("Padlink: Refused displayModal: (\"https://example.org\", -1, \"wide\")"));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/defaults.plist") || std::filesystem::exists(folder_ + "/slots"));
}

// When the game fails to take a phone (a listener breaks a precondition on hearing of it), the
// phone is let go whole: its "ready" goes unanswered as its channel closes, everyone who may have
// taken it hears it disconnect, and its player place is free again.
TEST_F(ManagerTest, APhoneTheGameFailsToTakeIsDisconnectedWhole) {
    listener_.onEvent = [thrown = false](JPDevice* device) mutable {
        if (device && !std::exchange(thrown, true)) throw NamedException("TestException", "a broken listener");
    };
    SimulatedPhone& phone = choosePhone("untaken", [&](SimulatedPhone& p) {
        p.ask("dataPortNum");
        answers_.push_back(p.answer("ready") ? "answered" : "closed");
    });
    answerResolve("untaken", phone);
    ASSERT_TRUE(pumpMainUntil([&] { return phone.done && manager_->isSearching(); }));
    EXPECT_EQ(answers_, Lines{"closed"});
    EXPECT_EQ(listener_.events, "L:connected untaken, L:disconnected untaken");
    EXPECT_EQ(delegate_.events, "disconnected untaken");
    EXPECT_EQ(manager_->devicesCount(), 0u);
    EXPECT_EQ(JPHiddenManager::shared()->findDeviceByServiceName("untaken")->state(), JPHiddenDevice::kJPDeviceStateKnown);
    EXPECT_TRUE(log_.contains("Padlink: The phone's call ready failed: TestException: a broken listener"));
}

// Each phone's echoes go to its own command address (readyScript checks); player numbers fill
// gaps; lowering the player count disconnects the phones found last.
TEST_F(ManagerTest, PlayersFillGapsAndLoweringTheCountDisconnectsTheLast) {
    manager_->setMaxPlayerCount(4);
    JPDevice* a = connectPhone("a");
    JPDevice* b = connectPhone("b");
    JPDevice* c = connectPhone("c");
    phones_[1].hangUp();
    ASSERT_TRUE(pumpMainUntil([&] { return !b->isConnected(); }));
    JPDevice* d = connectPhone("d");
    EXPECT_EQ(std::vector<uint64_t>({a->playerNumber(), c->playerNumber(), d->playerNumber(), d->index()}),
              std::vector<uint64_t>({1, 3, 2, 2}));
    // Found by player among the connected only (b, gone, also had number 2), and by address and port.
    JPHiddenManager* manager = JPHiddenManager::shared();
    EXPECT_EQ(std::vector<JPDevice*>({manager->findConnectedDeviceByPlayer(1), manager->findConnectedDeviceByPlayer(2),
                                      manager->findConnectedDeviceByPlayer(3), manager->findConnectedDeviceByPlayer(4)}),
              std::vector<JPDevice*>({a, d, c, nullptr}));
    EXPECT_EQ(std::vector<JPDevice*>({manager->findDeviceByIpAddr("127.0.0.1", phones_[2].port()),
                                      manager->findDeviceByIpAddr("127.0.0.2", phones_[2].port()),
                                      manager->findDeviceByIpAddr("127.0.0.1", 1)}),
              std::vector<JPDevice*>({c, nullptr, nullptr}));
    manager_->setMaxPlayerCount(2);
    ASSERT_TRUE(pumpMainUntil([&] { return !d->isConnected(); }));
    EXPECT_TRUE(a->isConnected() && c->isConnected());
    EXPECT_EQ(delegate_.events, "connected a, connected b, connected c, disconnected b, connected d, disconnected d");
}

// One object made the delegate of the manager and of every phone connected now; then let go of
// wherever it still is, also by a phone that has since disconnected (it keeps its delegate for
// when it comes back), while other delegates stay.
TEST_F(ManagerTest, OneDelegateIsSetOnTheManagerAndTheConnectedDevicesAndClearedWhereverItIs) {
    manager_->setMaxPlayerCount(3);
    JPDevice* gone = connectPhone("gone");
    phones_.back().hangUp();
    ASSERT_TRUE(pumpMainUntil([&] { return !gone->isConnected(); }));
    JPDevice* a = connectPhone("first");
    JPDevice* b = connectPhone("second");
    JPDevice* c = connectPhone("third");
    PadlinkRecorder everywhere("E:"), other("O:");
    JPHiddenManager* manager = JPHiddenManager::shared();
    const auto delegates = [&] {
        return std::vector<const void*>{manager->delegate(), gone->delegate(), a->delegate(), b->delegate(), c->delegate()};
    };
    const JPManagerDelegate* asManager = &everywhere;
    const JPDeviceDelegate* asDevice = &everywhere;
    manager->setDelegateForManagerAndDevices(&everywhere);
    EXPECT_EQ(delegates(), (std::vector<const void*>{asManager, nullptr, asDevice, asDevice, asDevice}));

    c->setDelegate(&other);
    phones_[1].hangUp();  // a
    ASSERT_TRUE(pumpMainUntil([&] { return !a->isConnected(); }));
    manager->clearDelegateForManagerAndDevices(&everywhere);
    EXPECT_EQ(delegates(), (std::vector<const void*>{nullptr, nullptr, nullptr, nullptr, static_cast<JPDeviceDelegate*>(&other)}));
    manager->setDelegate(&other);
    manager->clearDelegateForManagerAndDevices(&everywhere);
    EXPECT_EQ(manager->delegate(), &other);
    manager->clearDelegateForManagerAndDevices(&other);  // before it goes
    EXPECT_EQ(delegates(), std::vector<const void*>(5, nullptr));
}

TEST_F(ManagerTest, BrowsingFollowsGameStateAndFreePlaces) {
    EXPECT_TRUE(manager_->isSearching());
    SimulatedPhone& phone = choosePhone("solo");
    EXPECT_FALSE(manager_->isSearching());  // one place, and a phone is connecting
    connectPhone("solo", phone);
    EXPECT_FALSE(manager_->isSearching());
    phone.hangUp();
    ASSERT_TRUE(pumpMainUntil([&] { return manager_->isSearching(); }));
    // A phone waiting for its delayed start goes back to known when play begins.
    manager_->setMaxPlayerCount(2);
    fake_->reply(Discovery::BrowseReply{{Discovery::kFlagsAdd, 1, 0}, "late", "_padlink._tcp.", "local."});
    manager_->setGameState(1);
    EXPECT_FALSE(manager_->isSearching());
    bool later = false;  // a timer due after the delayed start
    RunLoop::main().scheduleTimer(0.001, false, [&] { later = true; });
    pumpMainUntil([&] { return later; });
    EXPECT_EQ(JPHiddenManager::shared()->findDeviceByServiceName("late")->state(), JPHiddenDevice::kJPDeviceStateKnown);
    EXPECT_FALSE(resolving("late"));
}

TEST_F(ManagerTest, ListenersWalkNewestFirstUpToACapturingOne) {
    std::string& events = listener_.events;
    PadlinkRecorder bottom("B:", 0x1FFF, &events), capturer("C:", kJPDelegationChangedGameState, &events),
        remover("R:", 0x1FFF, &events), device("D:", 0x7F, &events);
    delegate_.sink = &events;
    manager_->addListener(&bottom);
    manager_->addListener(&capturer, true);
    manager_->addListener(&remover);
    const auto pad = makeRef<JPHiddenDevice>(JPHiddenManager::shared());
    pad->setDelegate(&device);
    pad->updateLayout(layoutWithButtons());
    const auto press = [&] {
        events.clear();
        pad->deviceNetworker(nullptr, 1);
        pad->deviceNetworker(nullptr, 0);
        return events;
    };
    EXPECT_EQ(press(), "R:down 6, D:down 6, R:up 6, D:up 6");
    // A listener removed during a walk is skipped from then on, also by a walk nested in it.
    remover.onEvent = [&, first = true](JPDevice*) mutable {
        if (!std::exchange(first, false)) return;
        manager_->removeListener(&capturer);
        manager_->setGameState(2);
    };
    EXPECT_EQ(press(), "R:down 6, R:game state, B:game state, L:game state, game state, B:down 6, L:down 6, D:down 6, "
                       "R:up 6, B:up 6, L:up 6, D:up 6");
    manager_->removeListener(&bottom);
    manager_->removeListener(&remover);
}

TEST_F(ManagerTest, LayoutsTakeSlotsInTurnAndSettersRefuseMisuse) {
    std::vector<int32_t> slots;
    for (int i = 0; i < 5; ++i) {
        manager_->setControllerLayout(layoutWithButtons());
        slots.push_back(manager_->controllerLayout()->layoutNumber());
    }
    for (int i = 1; i < 5; ++i) EXPECT_EQ(slots[i], (slots[0] + i) % 4);
    const auto current = manager_->controllerLayout();
    EXPECT_THROW(manager_->setControllerLayout(layoutWithButtons("nope.png")), NamedException);
    EXPECT_EQ(manager_->controllerLayout(), current);
    EXPECT_TRUE(log_.contains("Raising JPManagerException: JPManager does not know about 'nope.png'."));
    std::string reason;
    std::thread([&] {
        try {
            manager_->setGameState(5);
        } catch (const NamedException& e) {
            reason = e.name() + ": " + e.reason();
        }
    }).join();
    EXPECT_EQ(reason, "JPManagerException: Calling -setGameState from a thread that is not the main one.");
    EXPECT_EQ(manager_->gameState(), 0);
}

}  // namespace
