// The game's settings and the controller library's device identifier share one settings file;
// neither writer drops the other's keys.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PadlinkSDK/PadlinkRPCLib/Padlink_SharedUDID.h"
#include "shell/ApplicationPreferences.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"

TEST(SharedUserDefaults, TheGameAndTheDeviceIdentifierKeepEachOthersKeys) {
    TemporaryFolder home;
    setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
    setenv("XDG_DATA_HOME", home.file("data").c_str(), 1);
    setenv("XDG_CACHE_HOME", home.file("cache").c_str(), 1);
    const std::string path = UserDefaults::standardUserDefaults().path();
    if (path.rfind(home.path(), 0) != 0) GTEST_SKIP() << "the standard store was made earlier in this process";

    ApplicationPreferences& preferences = *ApplicationPreferences::sharedInstance();
    Padlink_SharedUDID::setStoreLocations("", home.file("slots"));
    const std::string identifier = Padlink_SharedUDID::value();
    preferences.setGameControls(2);

    const UserDefaults saved(path);
    EXPECT_EQ(saved.objectForKey("SharedUDID")["SharedUDID"].stringValue(), identifier);
    EXPECT_EQ(saved.integerForKey("game_controls_preference"), 2);
    EXPECT_FALSE(saved.stringForKey("version_preference").empty());

    Padlink_SharedUDID::setStoreLocations("", "");
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) unsetenv(variable);
}
