// The HUD over a generated "hud.plist" in a 1024 x 768 window: the pause menu's states and
// slides, the end menu's titles and slides, the pause button's place, indicator and click, and
// taking the pause button away twice.

#include "game/core/Hud.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "audio/ALChannelSource.h"
#include "audio/VantrelAudio.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/HudGameDelegate.h"
#include "game/core/KSMenu.h"
#include "game/core/KSMenuItem.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/GameArtFiles.h"

namespace {

using hudSheet::kBackground;
using hudSheet::kMainMenu;
using hudSheet::kPause;
using hudSheet::kTitle;

// A 0.2 s tone, 16-bit mono at 22050 Hz.
void writeClick(const TemporaryFolder& folder) {
    const uint32_t rate = 22050, frames = rate / 5, bytes = frames * 2;
    std::string wav = "RIFF____WAVEfmt ";
    const auto put = [&wav](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) wav.push_back(static_cast<char>(value >> (8 * i)));
    };
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    wav += "data";
    put(bytes, 4);
    for (uint32_t i = 0; i < frames; ++i) put(static_cast<uint16_t>(i % 50 < 25 ? 8000 : -8000), 2);
    const uint32_t riff = static_cast<uint32_t>(wav.size() - 8);
    std::memcpy(&wav[4], &riff, 4);
    folder.write("interface.wav", wav);
}

class FakeGame : public HudGameDelegate {
public:
    CCNode* hudHolder() const override { return holder.get(); }
    void togglePauseGame() override { ++toggles; }
    void resumeGame() override { ++resumes; }
    void quitGame() override { ++quits; }
    void finishGame() override { ++finishes; }
    void replayGame() override { ++replays; }

    RefPtr<CCNode> holder = CCNode::node();
    int toggles = 0, resumes = 0, quits = 0, finishes = 0, replays = 0;
};

class HudTest : public GLSceneTest {
protected:
    static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }

    void SetUp() override {
        GLSceneTest::SetUp();
        useGameWindow();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        hudSheet::write(folder_);
        writeClick(folder_);
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("hud.plist");
        scene_->addChild(game_.holder.get());
        ASSERT_TRUE(hud_->init(&game_));
        ASSERT_EQ(Hud::currentHud(), hud_.get());
    }
    void TearDown() override {
        game_.holder->removeFromParentAndCleanup(true);
        game_.holder.reset();
        hud_.reset();
        EXPECT_EQ(Hud::currentHud(), nullptr);
        GLSceneTest::TearDown();
    }

    // Frames of 1/64 s.
    void runSeconds(double seconds) { runFrames(static_cast<uint64_t>(seconds * 64 + 0.5)); }
    // A slide started now: its first step comes in the next frame, with no time passed.
    void runSlide(double seconds) { runSeconds(seconds), runFrames(1); }

    static Event mouse(EventType type, double x, double y) {
        Event event;
        event.type = type;
        event.locationInWindow = {x, y};
        return event;
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
    FakeGame game_;
    RefPtr<Hud> hud_ = makeRef<Hud>();
};

TEST_F(HudTest, ThePauseMenuSlidesAndItsButtonsActOnlyWhenOpen) {
    CCNode* holder = hud_->gameMenuHolder();
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuClosed);
    EXPECT_FALSE(holder->visible());
    EXPECT_EQ(holder->position(), CGPointMake(0, 768));
    EXPECT_EQ(hud_->gameMenuOpenPosition(), CGPointMake(0, 384 - 80));

    hud_->openGameMenu();
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuOpening);
    EXPECT_TRUE(holder->visible());
    runSeconds(0.125);
    const double halfway = holder->position().y;
    hud_->openGameMenu();  // ignored: the slide goes on as it was
    hud_->onGameContinuePressed(nullptr);
    hud_->onGameQuitPressed(nullptr);
    EXPECT_EQ(game_.resumes + game_.quits, 0);
    EXPECT_FALSE(VantrelAudio::sharedInstance()->interfaceChannel()->playing());

    runSlide(0.125);
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuOpen);
    EXPECT_EQ(holder->position(), hud_->gameMenuOpenPosition());
    EXPECT_GT(halfway, 304);
    hud_->onGameContinuePressed(nullptr);
    EXPECT_EQ(game_.resumes, 1);
    EXPECT_TRUE(VantrelAudio::sharedInstance()->interfaceChannel()->playing());
    hud_->onGameQuitPressed(nullptr);
    EXPECT_EQ(game_.quits, 1);

    // Closing, then opening again mid-slide: it turns back from where it is.
    hud_->closeGameMenu();
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuClosing);
    runSeconds(0.125);
    const double turned = holder->position().y;
    EXPECT_GT(turned, 304);
    hud_->openGameMenu();
    runFrames(2);
    EXPECT_LT(holder->position().y, turned);
    runSlide(0.25);
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuOpen);

    // And closing mid-opening slides back up and hides it.
    hud_->closeGameMenu();
    runSlide(0.25);
    hud_->openGameMenu();
    runSeconds(0.0625);
    hud_->closeGameMenu();
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuClosing);
    runSlide(0.25);
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuClosed);
    EXPECT_EQ(holder->position(), CGPointMake(0, 768));
    EXPECT_FALSE(holder->visible());
    hud_->closeGameMenu();
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuClosed);
}

TEST_F(HudTest, TheEndTitleFollowsTheShareDelivered) {
    const struct {
        float fraction;
        const char* title;
    } cases[] = {{0.0f, "end_title_try_harder.png"},   {0.1999f, "end_title_try_harder.png"},
                 {0.2f, "end_title_nice_work.png"},    {0.4f, "end_title_sweet.png"},
                 {0.6f, "end_title_busy_times.png"},   {0.7999f, "end_title_busy_times.png"},
                 {0.8f, "end_title_beeeautiful.png"},  {1.0f, "end_title_beeeautiful.png"}};
    CCSprite* holder = hud_->endGameMessageHolder();
    for (const auto& c : cases) {
        hud_->setEndGameMessageForPerc(c.fraction);
        auto* shown = static_cast<CCSprite*>(holder->children()->lastObject());
        EXPECT_TRUE(shown->isFrameDisplayed(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(c.title).get()))
            << c.fraction;
    }
    hud_->showEndGameHiveUnlockedMessage();
    EXPECT_EQ(hud_->endGameHiveUnlockedMessageHolder()->children()->count(), 1u);
}

// In a wider window the title, 632 points wide, still comes straight down to the middle, 186
// points below the top.
TEST_F(HudTest, TheEndTitleComesStraightDownToTheMiddleOfAWideWindow) {
    resizeWindow(1920, 1080);
    director_->setOriginalWinSize({1920, 1080});
    FakeGame wideGame;
    scene_->addChild(wideGame.holder.get());
    const RefPtr<Hud> wide = makeRef<Hud>();
    ASSERT_TRUE(wide->init(&wideGame));
    EXPECT_EQ(wide->endGameMessageOpenPosition(), CGPointMake(644, 894));
    EXPECT_EQ(wide->endGameMessageClosedPosition().x, 644);
    EXPECT_GT(wide->endGameMessageClosedPosition().y, 1080);
    wideGame.holder->removeFromParentAndCleanup(true);
}

TEST_F(HudTest, TheEndMenuSlidesInWithItsTitleAndItsButtonsAct) {
    // Closed: the buttons wait below the screen, the title above it.
    EXPECT_LT(hud_->endGameMenuHolder()->position().y + 30 + 60, 1);
    EXPECT_GT(hud_->endGameMenuHolder()->position().y + hud_->endGameMessageHolder()->position().y, 768);
    hud_->setEndGameMessageForPerc(0.9f);
    hud_->onMainMenuPressed(nullptr);
    EXPECT_EQ(game_.finishes, 0);

    hud_->openEndGameMenu();
    runSeconds(0.2);
    hud_->onPlayAgainPressed(nullptr);
    EXPECT_EQ(game_.replays, 0);
    runSlide(0.2);
    EXPECT_EQ(hud_->endGameMenuState(), Hud::kMenuOpen);
    EXPECT_EQ(hud_->endGameMenuHolder()->position(), CGPointZero);
    EXPECT_EQ(hud_->endGameMessageHolder()->position(), CGPointMake(196, 582));
    runFrames(1);
    // The main-menu button at (1024 - 258, 30) and the title at (196, 582), both 200 x 60 and up.
    EXPECT_TRUE(pixelNear(1024 - 258 + 100, 60, kMainMenu));
    EXPECT_TRUE(pixelNear(196 + 150, 582 + 25, kTitle));

    hud_->onMainMenuPressed(nullptr);
    hud_->onPlayAgainPressed(nullptr);
    EXPECT_EQ(game_.finishes, 1);
    EXPECT_EQ(game_.replays, 1);

    hud_->closeEndGameMenu();
    runSlide(0.4);
    EXPECT_EQ(hud_->endGameMenuState(), Hud::kMenuClosed);
    EXPECT_FALSE(hud_->endGameMenuHolder()->visible());
    EXPECT_GT(hud_->endGameMessageHolder()->position().y - 90, 768);
}

TEST_F(HudTest, ThePauseButtonSitsTopRightAndPausesThroughTheMenu) {
    EXPECT_EQ(hud_->pauseMenuItem()->position(), CGPointMake(1024 - 16, 768 - 20));
    EXPECT_NEAR(hud_->positionIndicator()->rotation(), 0, 1e-5);
    hud_->updateHudPositionIndicator({1, 0});
    EXPECT_FLOAT_EQ(hud_->positionIndicator()->rotation(), -90);
    hud_->updateHudPositionIndicator({0, -1});
    EXPECT_FLOAT_EQ(hud_->positionIndicator()->rotation(), -180);
    hud_->updateHudPositionIndicator({0, 1});
    runFrames(1);
    EXPECT_TRUE(pixelNear(1024 - 6, 768 - 6, kPause));
    EXPECT_TRUE(pixelNear(1024 - 36, 768 - 36, kPause));
    EXPECT_TRUE(pixelNear(1024 - 46, 768 - 20, {0, 0, 0}));

    // A click within the 8-point margin below the button.
    KSMenu* menu = hud_->hudMenu();
    EXPECT_TRUE(menu->ccMouseDown(mouse(EventType::mouseDown, 1024 - 20, 768 - 46)));
    EXPECT_TRUE(menu->ccMouseUp(mouse(EventType::mouseUp, 1024 - 20, 768 - 46)));
    EXPECT_EQ(game_.toggles, 1);

    // The pause menu is fully open 0.25 s after the pause.
    hud_->openGameMenu();
    runSlide(0.25);
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuOpen);
    // The band, 160 high, centred and wider than the window.
    EXPECT_TRUE(pixelNear(400, 450, kBackground));
    EXPECT_TRUE(pixelNear(2, 310, kBackground));
    EXPECT_TRUE(pixelNear(1020, 460, kBackground));
    EXPECT_TRUE(pixelNear(400, 470, {0, 0, 0}));
}

TEST_F(HudTest, ThePauseButtonGoesOnceAndAMissingFrameRefusesTheHud) {
    CCNode* batch = hud_->positionIndicator()->parent();
    hud_->destroyHudMenu();
    EXPECT_EQ(hud_->hudMenu(), nullptr);
    EXPECT_EQ(hud_->positionIndicator(), nullptr);
    EXPECT_EQ(batch->parent(), nullptr);
    hud_->destroyHudMenu();
    hud_->updateHudPositionIndicator({1, 0});
    hud_->onGamePausePressed(nullptr);
    EXPECT_EQ(game_.toggles, 0);
    // The menus stay.
    hud_->openGameMenu();
    EXPECT_EQ(hud_->gameMenuState(), Hud::kMenuOpening);

    CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrameByName("end_title_sweet.png");
    LogCapture log;
    FakeGame other;
    EXPECT_FALSE(makeRef<Hud>()->init(&other));
    EXPECT_TRUE(log.contains("end_title_sweet.png"));
    EXPECT_EQ(other.holder->children(), nullptr);
    EXPECT_EQ(Hud::currentHud(), hud_.get());
}

}  // namespace
