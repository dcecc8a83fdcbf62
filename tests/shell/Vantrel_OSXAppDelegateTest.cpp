#include "shell/Vantrel_OSXAppDelegate.h"

#include <gtest/gtest.h>

#include <memory>

#include "shell/ApplicationPreferences.h"
#include "engine/core/CCDirectorMac.h"
#include "platform/foundation/UserDefaults.h"
#include "support/HeadlessDirectorTest.h"
#include "support/TestSupport.h"

namespace {

class AppDelegateFullScreenTest : public HeadlessDirectorTest {
protected:
    CCDirectorMac* director() const { return dynamic_cast<CCDirectorMac*>(CCDirector::sharedDirector()); }
    // The full-screen preference as the next start reads it.
    bool savedFullScreen() const { return UserDefaults(store_.path()).boolForKey("use_fullscreen_preference"); }

    TemporaryFolder folder_;
    UserDefaults store_{folder_.file("UserDefaults.plist")};
    ApplicationPreferences preferences_{store_, "0.1.0", folder_.file("data"), folder_.file("caches")};
    Vantrel_OSXAppDelegate delegate_{preferences_};
};

TEST_F(AppDelegateFullScreenTest, ToggleClosesTheGameServiceViewFirstAndStoresTheChoice) {
    std::vector<bool> closedWhileFullScreen;
    delegate_.setGameServiceViewCloser([&] { closedWhileFullScreen.push_back(director()->isFullScreen()); });
    for (const bool expected : {true, false, true}) {
        delegate_.toggleFullScreen();
        EXPECT_EQ(director()->isFullScreen(), expected);
        EXPECT_EQ(savedFullScreen(), expected);
    }
    EXPECT_EQ(closedWhileFullScreen, (std::vector<bool>{false, true, false}));
}

TEST_F(AppDelegateFullScreenTest, BackgroundSpellsLeaveFullScreenAndComeBackToIt) {
    delegate_.toggleFullScreen();
    delegate_.saveAndDisableFullScreen();
    EXPECT_TRUE(delegate_.wasFullScreen());
    EXPECT_FALSE(director()->isFullScreen());
    EXPECT_FALSE(savedFullScreen());  // a quit now starts windowed next time
    for (int restore = 0; restore < 2; ++restore) {
        delegate_.restoreFullScreen();
        EXPECT_TRUE(director()->isFullScreen()) << restore;
        EXPECT_TRUE(savedFullScreen());
    }

    // Windowed when going to the background: nothing to restore.
    delegate_.toggleFullScreen();
    delegate_.saveAndDisableFullScreen();
    EXPECT_FALSE(delegate_.wasFullScreen());
    delegate_.restoreFullScreen();
    EXPECT_FALSE(director()->isFullScreen());
    EXPECT_FALSE(savedFullScreen());
}

}  // namespace
