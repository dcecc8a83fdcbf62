#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

namespace fs = std::filesystem;

TEST(UserDefaults, StoredValuesOutrankRegisteredOnesAndSurviveASave) {
    TemporaryFolder folder;
    const std::string path = folder.file("config/app/UserDefaults.plist");
    {
        UserDefaults defaults(path);
        defaults.registerDefaults(
            dict({{"use_fullscreen_preference", true}, {"game_controls_preference", 2}, {"version_preference", "0.1.0"}}));
        EXPECT_TRUE(defaults.boolForKey("use_fullscreen_preference"));
        defaults.setBool("use_fullscreen_preference", false);
        defaults.setInteger("game_controls_sensitivity_preference", -3);
        defaults.setObject("nothing", Value());
        EXPECT_FALSE(defaults.boolForKey("use_fullscreen_preference"));
        EXPECT_EQ(defaults.stringForKey("game_controls_preference"), "2");  // numbers read as text too
        EXPECT_TRUE(defaults.synchronize());
        EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
    // A fresh store sees the saved values and none of the registered ones.
    UserDefaults reread(path);
    EXPECT_FALSE(reread.boolForKey("use_fullscreen_preference"));
    EXPECT_EQ(reread.integerForKey("game_controls_sensitivity_preference"), -3);
    EXPECT_TRUE(reread.objectForKey("game_controls_preference").isNone());
    EXPECT_TRUE(reread.objectForKey("nothing").isNone());
    reread.removeObjectForKey("use_fullscreen_preference");
    ASSERT_TRUE(reread.synchronize());
    EXPECT_TRUE(UserDefaults(path).objectForKey("use_fullscreen_preference").isNone());
}

// A save writes the file only when a stored value changed: storing the same value again is none.
TEST(UserDefaults, StoringTheValueHeldAlreadyLeavesTheFileAsItIs) {
    TemporaryFolder folder;
    const std::string path = folder.file("UserDefaults.plist");
    UserDefaults defaults(path);
    defaults.setString("version_preference", "0.1.0");
    ASSERT_TRUE(defaults.synchronize());
    const auto inode = [&] {
        struct stat status {};
        return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const ino_t written = inode();
    UserDefaults reread(path);
    reread.setString("version_preference", "0.1.0");
    ASSERT_TRUE(reread.synchronize());
    EXPECT_EQ(inode(), written);  // a save replaces the file, so an unchanged inode is no save
    reread.setString("version_preference", "0.2.0");
    ASSERT_TRUE(reread.synchronize());
    EXPECT_NE(inode(), written);
}

TEST(UserDefaults, UnreadableFilesAreMovedAsideAndDefaultsApply) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"garbage", "\x01\x02 not a list at all"},
        {"truncated", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><integer>1"},
        {"array", "<plist version=\"1.0\"><array><integer>1</integer></array></plist>"},
        {"string", "<plist version=\"1.0\"><string>YES</string></plist>"},
        {"empty", ""},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        TemporaryFolder folder;
        const std::string path = folder.write("UserDefaults.plist", item.bytes);
        LogCapture capture;
        UserDefaults defaults(path);
        defaults.registerDefaults(dict({{"a", 7}}));
        EXPECT_EQ(defaults.integerForKey("a"), 7);
        ASSERT_EQ(capture.lines().size(), 1u);
        const auto aside = filesKeptAside(folder.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_TRUE(capture.contains("moved to " + aside[0]));
        EXPECT_EQ(readFileBytes(aside[0]), item.bytes);  // kept as it was
        defaults.setInteger("a", 8);
        ASSERT_TRUE(defaults.synchronize());
        EXPECT_EQ(UserDefaults(path).integerForKey("a"), 8);
    }
}

TEST(UserDefaults, RefusesToSaveOverAFileItCouldNotMoveAside) {
    TemporaryFolder folder;
    const std::string path = folder.write("locked/UserDefaults.plist", "garbage");
    chmod(folder.file("locked").c_str(), 0500);  // no renames in the folder
    if (access(folder.file("locked").c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights that ignore modes";
    LogCapture capture;
    UserDefaults defaults(path);
    defaults.setBool("x", true);
    EXPECT_FALSE(defaults.synchronize());
    chmod(folder.file("locked").c_str(), 0700);
    EXPECT_EQ(readFileBytes(path), "garbage");
    EXPECT_TRUE(capture.contains("nothing is saved"));
}

TEST(UserDefaults, ConcurrentWritersKeepEveryKey) {
    TemporaryFolder folder;
    const std::string path = folder.file("UserDefaults.plist");
    UserDefaults defaults(path);
    std::vector<std::thread> writers;
    for (int writer = 0; writer < 4; ++writer) {
        writers.emplace_back([&defaults, writer] {
            for (int step = 0; step < 25; ++step) {
                defaults.setInteger("writer" + std::to_string(writer), step);
                defaults.synchronize();
            }
        });
    }
    for (auto& thread : writers) thread.join();
    UserDefaults reread(path);
    for (int writer = 0; writer < 4; ++writer) EXPECT_EQ(reread.integerForKey("writer" + std::to_string(writer)), 24);
}
