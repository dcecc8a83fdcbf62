#include "platform/foundation/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST(AtomicFile, WritesAndReplacesLeavingNoTemporaries) {
    TemporaryFolder folder;
    const std::string path = folder.file("Scores.archive");
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    EXPECT_EQ(readFileBytes(path), "first");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    chmod(path.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(path, std::string("second\0with a zero", 18)));
    EXPECT_EQ(readFileBytes(path), std::string("second\0with a zero", 18));
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    ASSERT_TRUE(writeFileAtomically(path, ""));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"Scores.archive"});
}

TEST(AtomicFile, FailuresLeaveTheTargetAndNoTemporaries) {
    TemporaryFolder folder;
    folder.write("Stats.archive", "old");
    fs::create_directory(folder.file("folder"));
    LogCapture capture;

    // The target is a folder.
    EXPECT_FALSE(writeFileAtomically(folder.file("folder"), "new"));
    EXPECT_TRUE(fs::is_directory(folder.file("folder")));
    EXPECT_TRUE(capture.contains("Cannot save " + folder.file("folder")));
    // The target's folder is missing, or is a file.
    EXPECT_FALSE(writeFileAtomically(folder.file("missing/Stats.archive"), "new"));
    EXPECT_FALSE(writeFileAtomically(folder.file("Stats.archive/inner"), "new"));
    EXPECT_EQ(capture.lines().size(), 3u);

    // The write itself fails (file size limit), after the temporary exists.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 4;
    setrlimit(RLIMIT_FSIZE, &tight);
    const bool written = writeFileAtomically(folder.file("Stats.archive"), "far more than four bytes");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_TRUE(capture.contains("writing failed"));

    // A folder the user may not write to (root may write anywhere, so only checked for others).
    if (geteuid() != 0) {
        chmod(folder.path().c_str(), 0500);
        EXPECT_FALSE(writeFileAtomically(folder.file("Stats.archive"), "new"));
        chmod(folder.path().c_str(), 0700);
    }

    EXPECT_EQ(readFileBytes(folder.file("Stats.archive")), "old");
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"Stats.archive", "folder"}));
    EXPECT_TRUE(fs::is_empty(folder.file("folder")));
}
