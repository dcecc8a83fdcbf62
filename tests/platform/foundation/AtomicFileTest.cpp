#include "platform/foundation/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

TEST(AtomicFile, WritesAndReplacesKeepingPermissions) {
    TemporaryFolder folder;
    const std::string path = folder.file("Scores.archive");
    ASSERT_TRUE(writeFileAtomically(path, "first") && fs::status(path).permissions() == (fs::perms::owner_read | fs::perms::owner_write));
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(path, std::string("second\0with a zero", 18)) && readFileBytes(path) == std::string("second\0with a zero", 18));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeFileAtomically(path, "") && fs::file_size(path) == 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);  // no temporaries
}

TEST(AtomicFile, FailuresLeaveTheTargetAndNoTemporaries) {
    TemporaryFolder folder;
    fs::create_directory(folder.file("folder"));
    folder.write("Stats.archive", "old");
    LogCapture capture;
    // The target is a folder; its folder is missing, or is a file; then the write itself fails (file size
    // limit) after the temporary exists.
    for (const char* name : {"folder", "missing/Stats.archive", "Stats.archive/inner"}) EXPECT_FALSE(writeFileAtomically(folder.file(name), "new"));
    EXPECT_TRUE(capture.lines().size() == 3u && capture.contains("Cannot save " + folder.file("folder")));
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    const struct rlimit tight = {4, saved.rlim_max};
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tight);
    const bool written = writeFileAtomically(folder.file("Stats.archive"), "far more than four bytes");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(!written && capture.contains("writing failed"));
    EXPECT_TRUE(readFileBytes(folder.file("Stats.archive")) == "old" &&
                std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()) == 2);
    EXPECT_TRUE(fs::is_directory(folder.file("folder")) && fs::is_empty(folder.file("folder")));
}
