// The settings screen, the menu's use of the game service, and phones and pads in the menu: the
// game controls and their saved preference, the service buttons, the phone message, the service's
// view standing the world still and keeping presses out, the phone's layout per screen, and phone
// buttons, pad buttons and hats (SDL virtual joysticks) as menu actions.

#include <SDL.h>

#include <memory>

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "shell/ApplicationPreferences.h"
#include "shell/GameKitHelper.h"
#include "shell/GameKitOverlay.h"
#include "shell/GameKitOverlayLayer.h"
#include "shell/VantrelNetworkControl.h"
#include "shell/Vantrel_OSXAppDelegate.h"
#include "engine/core/CCScene.h"
#include "engine/core/support/CCArray.h"
#include "engine/render/CCLabelTTF.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/KSMenuItem.h"
#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/Stats.h"
#include "platform/foundation/SavedFile.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/hid/SDLHidJoystick.h"
#include "platform/window/UrlOpener.h"
#include "support/CountingCursorHider.h"
#include "support/FakeGameService.h"
#include "support/FakePadlinkManager.h"
#include "tests/app/menu/MenuTestSupport.h"
#include "tests/platform/hid/VirtualPad.h"

namespace {

using menutest::MenuWindowTest;

class RecordingUrlOpener : public UrlOpener {
public:
    RecordingUrlOpener() { setCurrent(this); }
    ~RecordingUrlOpener() override { setCurrent(nullptr); }
    bool openURL(const std::string& url) override {
        opened.push_back(url);
        return true;
    }
    std::vector<std::string> opened;
};

// Shows the view when it has a window; the test finishes it through the helper.
class TestPresenter : public GameKitViewPresenter {
public:
    bool presentView(int viewState) override {
        shownState = viewState;
        return hasWindow;
    }
    void dismissView() override { ++dismissals; }
    bool hasWindow = true;
    int shownState = -2;
    int dismissals = 0;
};

// The tag of the one visible child of a holder; -1 when none is visible.
int visibleState(CCSprite* holder) {
    int state = -1;
    for (uint64_t i = 0; holder && holder->children() && i < holder->children()->count(); ++i) {
        const auto* child = dynamic_cast<CCNode*>(holder->children()->objectAtIndex(i));
        if (child && child->visible()) {
            EXPECT_EQ(state, -1) << "two states shown";
            state = static_cast<int>(child->tag());
        }
    }
    return state;
}

void collectTexts(CCNode* node, std::vector<std::string>& texts) {
    if (auto* label = dynamic_cast<CCLabelTTF*>(node)) texts.push_back(label->string());
    if (CCArray* children = node->children()) {
        for (Object* child : *children) collectTexts(static_cast<CCNode*>(child), texts);
    }
}

// Button identifiers of a recorded layout call "layout 1:14:image@x,y ...", in order.
std::string layoutButtons(const std::string& call) {
    std::string buttons;
    for (size_t at = call.find(" 1:"); at != std::string::npos; at = call.find(" 1:", at + 1)) {
        const size_t start = at + 3;
        buttons += (buttons.empty() ? "" : " ") + call.substr(start, call.find(':', start) - start);
    }
    return buttons;
}

class MenuSettingsTest : public MenuWindowTest {
protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        menutest::writeMenuSheet(resources_);
        menutest::writeTerrain(resources_);
        resources_.write("phones.html", "<p>phones</p>");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        ApplicationPreferences::sharedInstance()->setGameControls(0);
        ApplicationPreferences::sharedInstance()->setUseGameCenter(true);
        drainMainRunLoop();
    }

    void TearDown() override {
        pads_.clear();
        scene_.reset();
        layer_.reset();
        MenuWindowTest::TearDown();
        drainMainRunLoop();
        helper_.reset();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    // A running menu over a catalogue of two level groups; the service signed in unless held.
    void openMenu() {
        levels_ = std::make_unique<Levels>(menutest::writeCatalogue(resources_, 2), data_.path(), nullptr,
                                           [] { return false; });
        stats_ = std::make_unique<Stats>(data_.path());
        rank_ = std::make_unique<Rank>(*levels_, *stats_, nullptr, [] { return false; });
        helper_ = std::make_unique<GameKitHelper>(service_, data_.path());
        helper_->setViewPresenter(&presenter_);
        layer_ = makeRef<VantrelMenuLayer>();
        layer_->setGameKitHelper(helper_.get());
        layer_->setNetworkControl(&control_);
        ASSERT_TRUE(layer_->initWithProgress(levels_.get(), stats_.get(), rank_.get()));
        scene_ = CCScene::node();
        scene_->addChild(layer_.get());
        director_->runWithScene(scene_);
        ASSERT_EQ(director_->runFrames(1), 1u);
        drainMainRunLoop();
    }

    void moveTo(const std::string& name) {
        layer_->showScreen(layer_->getScreenIndex(name), true);
        settle();
    }

    void settle() {
        for (int frames = 0; layer_->isTransitioning() && frames < 1000; ++frames) layer_->update(1.0f / 60);
    }

    // The first level screen with `count` level buttons that note their presses as "A", "B", "C".
    void fakeLevelButtons(int count) {
        VantrelMenuScreenData* screen = layer_->getScreenData(layer_->getScreenIndex("group1"));
        screen->levelCount = count;
        KSMenuItem** slots[] = {&screen->levelMenuItemA, &screen->levelMenuItemB, &screen->levelMenuItemC};
        for (int i = 0; i < count; ++i) {
            const RefPtr<KSMenuItem> item = makeRef<KSMenuItem>();
            item->initWithNormalSprite(nullptr, nullptr, nullptr,
                                       [this, i](CCMenuItem*) { pressed += static_cast<char>('A' + i); });
            *slots[i] = item.get();
            levelItems_.push_back(item);
        }
    }

    int64_t savedGameControls() const {
        return readSavedDictionary(UserDefaults::standardUserDefaults().path())
            .dictionary["game_controls_preference"]
            .intValue();
    }

    // Hands SDL's joystick events to the listening joysticks, as the window's pump does.
    static void pumpPads() {
        SDL_JoystickUpdate();
        SDL_Event event;
        while (SDL_PollEvent(&event)) SDLHidJoystick::handleEvent(event);
    }

    std::string lastLayout() {
        drainMainRunLoop();
        std::string layout;
        for (const std::string& call : manager_.calls) {
            if (call.rfind("layout", 0) == 0) layout = call;
        }
        manager_.calls.clear();
        return layoutButtons(layout);
    }

    TemporaryFolder data_;
    RefPtr<FakeGameService> service_ = makeRef<FakeGameService>();
    TestPresenter presenter_;
    std::unique_ptr<GameKitHelper> helper_;
    FakeManager manager_;
    VantrelNetworkControl control_{manager_};
    RecordingUrlOpener opener_;
    CountingCursorHider cursor_;
    std::vector<std::unique_ptr<VirtualPad>> pads_;
    std::unique_ptr<Levels> levels_;
    std::unique_ptr<Stats> stats_;
    std::unique_ptr<Rank> rank_;
    RefPtr<VantrelMenuLayer> layer_;
    RefPtr<CCScene> scene_;
    std::vector<RefPtr<KSMenuItem>> levelItems_;
    std::string pressed;
};

TEST_F(MenuSettingsTest, GameControlsCycleAndSaveAndAStrangeValueShowsNothingUntilPressed) {
    ApplicationPreferences::sharedInstance()->setGameControls(5);
    openMenu();
    moveTo("settings");
    EXPECT_EQ(visibleState(layer_->gameControlsSprite()), -1);
    for (const int64_t expected : {0, 1, 2, 0}) {
        layer_->onGameControlsMenuItemPressed(nullptr);
        EXPECT_EQ(ApplicationPreferences::sharedInstance()->gameControls(), expected);
        EXPECT_EQ(savedGameControls(), expected);
        EXPECT_EQ(visibleState(layer_->gameControlsSprite()), expected);
    }
    // While the world turns, presses do nothing.
    layer_->showScreen(layer_->getScreenIndex("title"), false);
    layer_->onGameControlsMenuItemPressed(nullptr);
    layer_->onPadlinkMenuItemPressed(nullptr);
    EXPECT_EQ(ApplicationPreferences::sharedInstance()->gameControls(), 0);
    EXPECT_TRUE(opener_.opened.empty());
}

TEST_F(MenuSettingsTest, ThePhoneMessageOpensOurPageOnlyWhileNoPhoneIsConnected) {
    openMenu();
    moveTo("settings");
    layer_->onPadlinkMenuItemPressed(nullptr);
    ASSERT_EQ(opener_.opened.size(), 1u);
    EXPECT_EQ(opener_.opened[0].rfind("file:///", 0), 0u) << opener_.opened[0];
    EXPECT_NE(opener_.opened[0].find("/phones.html"), std::string::npos) << opener_.opened[0];

    manager_.devices.push_back(makeRef<FakeDevice>());
    layer_->padlinkManagerDeviceDidConnect(&manager_, manager_.devices[0].get());
    CCSpriteFrame* connected =
        CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName("controls_padlink_connected.png").get();
    auto* message = dynamic_cast<CCSprite*>(layer_->padlinkMenuItem()->normalImage());
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->isFrameDisplayed(connected));
    layer_->onPadlinkMenuItemPressed(nullptr);
    EXPECT_EQ(opener_.opened.size(), 1u);

    manager_.devices.clear();
    layer_->padlinkManagerDeviceDidDisconnect(&manager_, nullptr);
    EXPECT_FALSE(message->isFrameDisplayed(connected));
}

TEST_F(MenuSettingsTest, ServiceButtonsFollowThePreferenceAndTheSignIn) {
    service_->holdCompletions = true;
    openMenu();
    ASSERT_TRUE(layer_->hasGameCenterButtons());
    EXPECT_EQ(helper_->delegate(), static_cast<GameKitHelperProtocol*>(layer_.get()));
    // On, but not yet signed in.
    EXPECT_EQ(visibleState(layer_->gameCenterSprite()), 1);
    EXPECT_FALSE(layer_->leaderboardMenuItem()->isEnabled());
    service_->releaseHeld();
    drainMainRunLoop();
    EXPECT_TRUE(layer_->leaderboardMenuItem()->isEnabled());
    EXPECT_TRUE(layer_->achievementsMenuItem()->isEnabled());

    layer_->onGameCenterMenuItemPressed(nullptr);
    EXPECT_FALSE(ApplicationPreferences::sharedInstance()->useGameCenter());
    EXPECT_EQ(helper_->delegate(), nullptr);
    EXPECT_EQ(visibleState(layer_->gameCenterSprite()), 0);
    EXPECT_FALSE(layer_->leaderboardMenuItem()->isEnabled());
    EXPECT_FALSE(layer_->achievementsMenuItem()->isEnabled());
    layer_->showGameCenterLeaderboard();
    drainMainRunLoop();
    EXPECT_FALSE(helper_->isGameCenterViewOpen());

    layer_->toggleGameCenter();
    EXPECT_EQ(helper_->delegate(), static_cast<GameKitHelperProtocol*>(layer_.get()));
    EXPECT_TRUE(layer_->leaderboardMenuItem()->isEnabled());
}

TEST_F(MenuSettingsTest, WithoutTheServiceTheScreenSaysSo) {
    service_->available = false;
    openMenu();
    EXPECT_FALSE(layer_->hasGameCenterButtons());
    EXPECT_EQ(layer_->leaderboardMenuItem(), nullptr);
    layer_->onGameCenterMenuItemPressed(nullptr);  // no button: nothing breaks
}

TEST_F(MenuSettingsTest, TheOpenViewStandsTheWorldStillAndKeepsPhoneAndPadPressesOut) {
    pads_.push_back(std::make_unique<VirtualPad>("PLAYSTATION(R)3 Controller"));
    openMenu();
    moveTo("group1");
    fakeLevelButtons(1);
    layer_->onGameCenterLeaderboardMenuItemPressed(nullptr);
    EXPECT_FALSE(director_->isPaused()) << "paused before the view is shown";
    drainMainRunLoop();
    ASSERT_TRUE(helper_->isGameCenterViewOpen());
    EXPECT_EQ(presenter_.shownState, 0);
    EXPECT_TRUE(director_->isPaused());
    EXPECT_TRUE(layer_->isBusy());

    const int32_t screen = layer_->currentScreenIndex();
    layer_->padlinkDeviceButtonDown(nullptr, 6);
    layer_->padlinkDeviceButtonDown(nullptr, 15);
    pads_[0]->setButton(15, true);
    pads_[0]->setHat(0, SDL_HAT_RIGHT);
    pumpPads();
    EXPECT_EQ(pressed, "");
    EXPECT_EQ(layer_->currentScreenIndex(), screen);

    // Losing the focus closes the view, and the world runs again.
    Vantrel_OSXAppDelegate application(*ApplicationPreferences::sharedInstance());
    application.setGameServiceViewCloser([this] { helper_->closeGameCenter(); });
    application.applicationWillResignActive();
    EXPECT_FALSE(helper_->isGameCenterViewOpen());
    EXPECT_EQ(presenter_.dismissals, 1);
    EXPECT_FALSE(director_->isPaused());
    layer_->padlinkDeviceButtonDown(nullptr, 6);
    EXPECT_EQ(pressed, "A");

    // Without a window the view is not shown: nothing pauses and the menu is not held busy.
    presenter_.hasWindow = false;
    layer_->showGameCenterAchievements();
    drainMainRunLoop();
    EXPECT_FALSE(director_->isPaused());
    EXPECT_FALSE(layer_->isBusy());
}

TEST_F(MenuSettingsTest, TheScoreViewNamesTheLevelsByTheirGroupAndPlace) {
    openMenu();
    service_->bestScoresToLoad = {makeRef<GameServiceScore>("vtosx_group2_a", 900, 10, "fake:1")};
    GameKitOverlay overlay(*helper_, service_);
    helper_->setViewPresenter(&overlay);
    layer_->loginGameCenter();
    drainMainRunLoop();
    layer_->showGameCenterLeaderboard();
    drainMainRunLoop();
    ASSERT_NE(overlay.layer(), nullptr);
    std::vector<std::string> texts;
    collectTexts(overlay.layer(), texts);
    const auto level = std::find(texts.begin(), texts.end(), "GROUP2 1");
    ASSERT_NE(level, texts.end());
    EXPECT_EQ(*(level + 1), "900");
    helper_->closeGameCenter();
    EXPECT_FALSE(director_->isPaused());
}

TEST_F(MenuSettingsTest, EachScreenGivesThePhoneItsLayout) {
    openMenu();
    fakeLevelButtons(2);
    const std::pair<const char*, const char*> cases[] = {
        {"credits", "14 15"},       {"settings", "14 15 6"}, {"flight_log", "14 15"}, {"title", "14 15"},
        {"instructions", "14 15 6"}, {"group1", "14 15 6 7"}, {"group2", "14 15 6"},
    };
    for (const auto& [name, buttons] : cases) {
        moveTo(name);
        EXPECT_EQ(lastLayout(), buttons) << name;
    }
    // Leaving the menu: the game's state and the empty layout; the phones and the service go back
    // to nobody.
    director_->replaceScene(CCScene::node());
    ASSERT_EQ(director_->runFrames(1), 1u);
    drainMainRunLoop();
    EXPECT_EQ(manager_.calls, (std::vector<std::string>{"state 1", "layout "}));
    EXPECT_EQ(control_.padlinkDeviceDelegate(), nullptr);
    EXPECT_EQ(control_.padlinkManagerDelegate(), nullptr);
    EXPECT_EQ(helper_->delegate(), nullptr);
}

TEST_F(MenuSettingsTest, PhoneButtonsActOnTheScreenInView) {
    openMenu();
    fakeLevelButtons(2);
    struct Case {
        const char* screen;
        int button;
        const char* pressed;
        int64_t gameControls;
        int32_t instructionsPage;
        int screenStep;  // screens moved, right positive
    };
    const Case cases[] = {
        {"group1", 6, "A", 0, 1, 0},   {"group1", 7, "B", 0, 1, 0},  {"group1", 8, "", 0, 1, 0},
        {"title", 6, "", 0, 1, 0},     {"title", 15, "", 0, 1, 1},   {"title", 14, "", 0, 1, -1},
        {"settings", 6, "", 1, 1, 0},  {"settings", 7, "", 0, 1, 0}, {"instructions", 6, "", 0, 2, 0},
        {"instructions", 12, "", 0, 1, 0}, {"group1", 5, "", 0, 1, 0}, {"group1", 16, "", 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.screen) + " button " + std::to_string(c.button));
        ApplicationPreferences::sharedInstance()->setGameControls(0);
        moveTo(c.screen);
        while (layer_->currentInstructionsPage() != 1) layer_->nextInstructions();
        pressed.clear();
        const int32_t before = layer_->currentScreenIndex();
        const int hides = cursor_.hideCalls;
        layer_->padlinkDeviceButtonDown(nullptr, c.button);
        EXPECT_EQ(pressed, c.pressed);
        EXPECT_EQ(ApplicationPreferences::sharedInstance()->gameControls(), c.gameControls);
        EXPECT_EQ(layer_->currentInstructionsPage(), c.instructionsPage);
        const int32_t count = layer_->screenCount();
        EXPECT_EQ(layer_->currentScreenIndex(), (before + c.screenStep + count) % count);
        EXPECT_EQ(cursor_.hideCalls, hides + 1);
        settle();
    }
}

TEST_F(MenuSettingsTest, PadButtonsMapThroughTheActivePadsTableAndHatsTurnTheWorld) {
    pads_.push_back(std::make_unique<VirtualPad>("PLAYSTATION(R)3 Controller"));
    pads_.push_back(std::make_unique<VirtualPad>("SmartJoy PLUS Adapter"));
    openMenu();
    ASSERT_EQ(layer_->hidJoysticks().size(), 2u);
    moveTo("group1");
    fakeLevelButtons(3);
    VirtualPad& playStation = *pads_[0];
    VirtualPad& smartJoy = *pads_[1];
    const auto press = [](VirtualPad& pad, int button) {
        pad.setButton(button, true);
        pumpPads();
        pad.setButton(button, false);
        pumpPads();
    };

    press(playStation, 15);  // the first table: raw 15 is logical 3
    EXPECT_EQ(pressed, "A");
    EXPECT_EQ(layer_->hidActiveJoystick()->productName(), "PLAYSTATION(R)3 Controller");
    press(smartJoy, 15);  // the second pad's table first: 15 is beyond it and passes through
    EXPECT_EQ(pressed, "A");
    press(smartJoy, 0);
    press(smartJoy, 1);
    EXPECT_EQ(pressed, "ABC");
    press(playStation, 15);
    EXPECT_EQ(pressed, "ABCA");

    const int32_t group = layer_->currentScreenIndex();
    const int32_t count = layer_->screenCount();
    const std::pair<uint8_t, int> hats[] = {{SDL_HAT_RIGHTUP, 0}, {SDL_HAT_DOWN, 0}, {SDL_HAT_RIGHT, 1},
                                            {SDL_HAT_CENTERED, 0}, {SDL_HAT_LEFT, -1}};
    int32_t expected = group;
    for (const auto& [hat, step] : hats) {
        playStation.setHat(0, hat);
        pumpPads();
        expected = (expected + step + count) % count;
        EXPECT_EQ(layer_->currentScreenIndex(), expected) << int(hat);
        settle();
    }

    const bool fullScreen = director_->isFullScreen();
    press(playStation, 16);  // logical 116
    EXPECT_NE(director_->isFullScreen(), fullScreen);
    press(playStation, 16);
    EXPECT_EQ(director_->isFullScreen(), fullScreen);
}

}  // namespace
