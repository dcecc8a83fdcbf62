#include "shell/VantrelNetworkControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shell/VantrelPadlinkLayout.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StringUtils.h"
#include "support/FakePadlinkManager.h"

namespace {

// A scene listening to phones; counts the connections it hears and whether it is still alive.
class ListeningScene : public Object, public JPListener {
public:
    explicit ListeningScene(bool* alive, uint16_t delegations = kJPDelegationDeviceDidConnect | kJPDelegationDeviceDidDisconnect)
        : alive_(alive), delegations_(delegations) { *alive_ = true; }
    ~ListeningScene() override { *alive_ = false; }
    uint16_t padlinkDelegations() const override { return delegations_; }
    void padlinkManagerDeviceDidConnect(JPManager*, JPDevice*) override { ++connects; }
    void padlinkManagerDeviceDidDisconnect(JPManager*, JPDevice*) override { ++disconnects; }
    int connects = 0, disconnects = 0;

private:
    bool* alive_;
    uint16_t delegations_;
};

class NetworkControlTest : public testing::Test {
protected:
    ~NetworkControlTest() override { RunLoop::main().runOnce(); }  // nothing posted outlives the fake
    std::vector<std::string> applied() {
        RunLoop::main().runOnce();
        return std::exchange(manager_.calls, {});
    }

    FakeManager manager_;
    VantrelNetworkControl control_{manager_};
};

const std::string kMenu = "1:14:padlink_arrow_left.png@0,112 1:15:padlink_arrow_right.png@384,112";
const std::string kPause = "1:6:padlink_pause.png@390,7";

TEST_F(NetworkControlTest, SetsTheManagerUpAndPostsTheEmptyLayout) {
    EXPECT_EQ(manager_.maxPlayerCount(), 1u);
    EXPECT_EQ(manager_.applicationName(), "Vantrel");
    EXPECT_EQ(manager_.gameState(), 0);
    EXPECT_EQ(manager_.delegate(), &control_);
    EXPECT_FALSE(manager_.controllerLayout());  // posted, not yet applied
    EXPECT_EQ(std::exchange(manager_.calls, {}), std::vector<std::string>{"state 0"});
    EXPECT_EQ(applied(), std::vector<std::string>{"layout "});
    EXPECT_EQ(manager_.controllerLayout()->name(), "Vantrel");
}

TEST_F(NetworkControlTest, EachScreenGetsItsLayout) {
    applied();
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { control_.useMenuConfiguration(); }, kMenu},
        {[&] { control_.useMenuSettingsConfiguration(); }, kMenu + " 1:6:padlink_gamecontrols.png@94,129"},
        {[&] { control_.useMenuInstructionsConfiguration(); }, kMenu + " 1:6:padlink_instructions.png@109,129"},
        {[&] { control_.useMenuHivesConfiguration(0); }, kMenu},
        {[&] { control_.useMenuHivesConfiguration(1); }, kMenu + " 1:6:padlink_hive.png@192,112"},
        {[&] { control_.useMenuHivesConfiguration(2); }, kMenu + " 1:6:padlink_hive.png@144,112 1:7:padlink_hive.png@240,112"},
        {[&] { control_.useMenuHivesConfiguration(3); },
         kMenu + " 1:6:padlink_hive.png@96,112 1:7:padlink_hive.png@192,112 1:8:padlink_hive.png@288,112"},
        {[&] { control_.useMenuHivesConfiguration(4); }, kMenu},
        {[&] { control_.useJoystickLeftConfiguration(); }, kPause + " 2:2:@0,40"},
        {[&] { control_.useJoystickRightConfiguration(); }, kPause + " 2:2:@100,40"},
        {[&] { control_.useGameConfiguration(0); }, kPause + " 2:2:@50,40"},
        {[&] { control_.useGameConfiguration(1); }, kPause + " 3:4:@0,0"},
        {[&] { control_.useGameConfiguration(2); }, kPause + " 0:0:@50,40"},
        {[&] { control_.useGameConfiguration(7); }, kPause + " 2:2:@50,40"},
        {[&] { control_.useGamePausedConfiguration(); },
         "1:14:padlink_keepplaying.png@27,129 1:15:padlink_quitgame.png@262,129"},
        {[&] { control_.useGameSummaryCompleteConfiguration(); },
         "1:14:padlink_playagain.png@35,129 1:15:padlink_mainmenu.png@239,129"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        cases[i].first();
        EXPECT_EQ(applied(), std::vector<std::string>{"layout " + cases[i].second}) << i;
    }
    // Every image a layout names is one the manager serves.
    const auto& served = manager_.imageNames();
    for (const auto& layout : {VantrelPadlinkLayout::menuHiveABC(), VantrelPadlinkLayout::menuSettings(),
                               VantrelPadlinkLayout::menuInstructions(), VantrelPadlinkLayout::gamePaused(),
                               VantrelPadlinkLayout::gameSummaryComplete(), VantrelPadlinkLayout::dpad()}) {
        for (const std::string& image : layout->imageNames()) {
            EXPECT_NE(std::find(served.begin(), served.end(), image), served.end()) << image;
        }
    }
}

TEST_F(NetworkControlTest, PostedCallsRunAfterTheFrameInTheOrderMade) {
    applied();
    control_.inGame();
    control_.useGameConfiguration(2);
    control_.inGamePause();
    control_.useGamePausedConfiguration();
    control_.inGameUnPause();
    control_.inMenu();
    EXPECT_TRUE(manager_.calls.empty());
    const auto calls = applied();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "state 1");
    EXPECT_EQ(calls[1].rfind("layout " + kPause + " 0:0", 0), 0u);
    EXPECT_EQ(calls[2], "state 0");
    EXPECT_EQ(calls[3].rfind("layout 1:14:padlink_keepplaying", 0), 0u);
    EXPECT_EQ(std::vector(calls.begin() + 4, calls.end()), (std::vector<std::string>{"state 1", "state 0"}));
}

TEST_F(NetworkControlTest, DevicesFollowTheListeningSceneAndConnectionsAreForwarded) {
    bool sceneAlive = false, quietAlive = false;
    RefPtr<ListeningScene> scene = makeRef<ListeningScene>(&sceneAlive);
    const auto connected = makeRef<FakeDevice>();
    manager_.devices.push_back(connected);
    EXPECT_TRUE(control_.padlinkConnected());

    control_.setPadlinkDeviceDelegate(scene.get());
    control_.setPadlinkManagerDelegate(scene.get());
    EXPECT_EQ(connected->delegate(), scene.get());
    ListeningScene* const listening = scene.get();
    scene.reset();
    EXPECT_TRUE(sceneAlive);  // kept while it listens

    const auto arriving = makeRef<FakeDevice>();
    control_.padlinkManagerDeviceDidConnect(&manager_, arriving.get());
    EXPECT_EQ(arriving->delegate(), listening);
    control_.padlinkManagerDeviceDidDisconnect(&manager_, arriving.get());
    EXPECT_EQ(arriving->delegate(), nullptr);
    EXPECT_EQ(std::pair(listening->connects, listening->disconnects), std::pair(1, 1));

    // A delegate without the connection callbacks is not called.
    const auto quiet = makeRef<ListeningScene>(&quietAlive, 0);
    control_.setPadlinkManagerDelegate(quiet.get());
    control_.padlinkManagerDeviceDidConnect(&manager_, arriving.get());
    EXPECT_EQ(quiet->connects, 0);

    control_.setPadlinkDeviceDelegate(nullptr);
    EXPECT_FALSE(sceneAlive);
    EXPECT_EQ(connected->delegate(), nullptr);
    control_.setPadlinkManagerDelegate(nullptr);
}

}  // namespace
