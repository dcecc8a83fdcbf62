#include "shell/ApplicationPreferences.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kRunning = "2.0";
constexpr const char* kArchives[] = {"Scores.archive", "Stats.archive", "CachedScores.archive",
                                     "CachedAchievements.archive"};

class ApplicationPreferencesTest : public testing::Test {
protected:
    std::string defaultsPath() const { return folder_.file("config/UserDefaults.plist"); }
    std::string data(const std::string& name = "") const { return folder_.file("data/org.vantrel.Vantrel/" + name); }
    std::string caches(const std::string& name) const { return folder_.file("caches/" + name); }

    // The program starting: a store over the file, then the preferences over it.
    ApplicationPreferences& start(const char* version = kRunning) {
        preferences_.reset();
        store_ = std::make_unique<UserDefaults>(defaultsPath());
        preferences_ = std::make_unique<ApplicationPreferences>(*store_, version, data(), folder_.file("caches"));
        return *preferences_;
    }

    // What a fresh store reads from the file.
    Value saved(const char* key) const { return UserDefaults(defaultsPath()).objectForKey(key); }

    void writeSettings(const char* version, bool useGameCenter) const {
        folder_.write("config/UserDefaults.plist",
                      dict({{"version_preference", version}, {"use_gamecenter_preference", useGameCenter}}).toXML());
    }

    TemporaryFolder folder_;
    std::unique_ptr<UserDefaults> store_;
    std::unique_ptr<ApplicationPreferences> preferences_;
};

TEST_F(ApplicationPreferencesTest, FirstInstallStoresTheVersionAndMovesNothing) {
    folder_.write("caches/Scores.archive", "someone else's");
    ApplicationPreferences& preferences = start();
    EXPECT_FALSE(preferences.updateRequired());
    EXPECT_EQ(preferences.oldVersion(), kRunning);
    EXPECT_EQ(saved("version_preference").stringValue(), kRunning);
    EXPECT_TRUE(fs::is_directory(data()));
    EXPECT_TRUE(fs::exists(caches("Scores.archive")));
    EXPECT_TRUE(preferences.useGameCenter() && preferences.useFullscreen());
    EXPECT_EQ(preferences.gameControlsName(), "joystick");
}

TEST_F(ApplicationPreferencesTest, UpdatesMoveFilesWithoutReplacingAndFollowTheOldVersion) {
    const struct {
        const char* from;
        bool moves;
        bool gameServiceTurnedOn;
    } cases[] = {{"1.0", true, true}, {"1.1", true, false}, {"1.1.1", false, false}, {"1.2", false, false}};
    for (const auto& update : cases) {
        SCOPED_TRACE(update.from);
        fs::remove_all(folder_.file("config"));
        fs::remove_all(folder_.file("caches"));
        fs::remove_all(data());
        writeSettings(update.from, false);
        for (const char* name : kArchives) folder_.write(std::string("caches/") + name, std::string("old ") + name);
        folder_.write("data/org.vantrel.Vantrel/Stats.archive", "newer stats");

        ApplicationPreferences& preferences = start();
        EXPECT_TRUE(preferences.updateRequired());
        EXPECT_EQ(preferences.oldVersion(), update.from);
        EXPECT_EQ(saved("version_preference").stringValue(), kRunning);
        EXPECT_EQ(saved("use_gamecenter_preference").boolValue(), update.gameServiceTurnedOn);
        EXPECT_EQ(readFileBytes(data("Stats.archive")), "newer stats");
        EXPECT_TRUE(fs::exists(caches("Stats.archive")));  // the old one is kept where it was
        for (const char* name : {"Scores.archive", "CachedScores.archive", "CachedAchievements.archive"}) {
            EXPECT_EQ(fs::exists(data(name)), update.moves) << name;
            EXPECT_EQ(fs::exists(caches(name)), !update.moves) << name;
        }
        preferences.setUpdateRequired(false);
        EXPECT_EQ(preferences.oldVersion(), kRunning);
        // The next start is no update.
        EXPECT_FALSE(start().updateRequired());
    }
}

TEST_F(ApplicationPreferencesTest, SettersSaveAtOnceForAFreshStore) {
    ApplicationPreferences& preferences = start();
    preferences.setUseGameCenter(false);
    preferences.setGameControls(2);
    preferences.setGameControlsSensitivity(-4);
    preferences.setUseFullscreen(false);
    ApplicationPreferences& restarted = start();
    EXPECT_FALSE(restarted.useGameCenter());
    EXPECT_EQ(restarted.gameControls(), 2);
    EXPECT_EQ(restarted.gameControlsSensitivity(), -4);
    EXPECT_FALSE(restarted.useFullscreen());

    EXPECT_EQ(restarted.gameControlsName(), "dpad");
    for (const int64_t outOfRange : {3, -1}) {
        restarted.setGameControls(outOfRange);
        EXPECT_EQ(restarted.gameControlsName(), "Unknown");
    }
}

TEST_F(ApplicationPreferencesTest, UnreadableSettingsAreKeptAsideAndTheDefaultsApply) {
    const std::string cases[] = {
        "garbage \xff\xfe",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>version_preference</key><string>1.0",
        "<plist version=\"1.0\"><array><string>1.0</string></array></plist>",
        "bplist00",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        fs::remove_all(folder_.file("config"));
        folder_.write("config/UserDefaults.plist", bytes);
        LogCapture capture;
        ApplicationPreferences& preferences = start();
        EXPECT_FALSE(preferences.updateRequired());
        EXPECT_TRUE(preferences.useFullscreen());
        EXPECT_EQ(preferences.gameControls(), 0);
        EXPECT_TRUE(capture.contains("cannot be read"));
        const auto aside = filesKeptAside(folder_.file("config"));
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFileBytes(aside[0]), bytes);
        EXPECT_EQ(saved("version_preference").stringValue(), kRunning);
    }
}

}  // namespace
