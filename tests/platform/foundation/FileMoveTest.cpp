#include "platform/foundation/FileMove.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

size_t entryCount(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A folder on another file system than the temporary folder, or empty when there is none.
std::string otherFileSystemFolder(const TemporaryFolder& folder) {
    struct stat here {}, there {};
    if (stat(folder.path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev) return {};
    std::string pattern = "/dev/shm/vantrel-move-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

}  // namespace

TEST(FileMove, NeverReplacesOnOneOrAcrossFileSystems) {
    TemporaryFolder folder;
    const std::string other = otherFileSystemFolder(folder);
    std::vector<std::string> targets = {folder.file("data")};
    if (!other.empty()) targets.push_back(other);
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        fs::create_directories(target);
        const std::string from = folder.write("caches/Scores.archive", "moved bytes");
        chmod(from.c_str(), 0640);
        folder.write("caches/Stats.archive", "old stats");
        const std::string keptTo = target + "/Stats.archive";
        TemporaryFolder scratch;
        fs::copy_file(scratch.write("new", "newer stats"), keptTo);

        EXPECT_EQ(moveFileWithoutReplacing(from, target + "/Scores.archive"), FileMoveResult::moved);
        EXPECT_EQ(readFileBytes(target + "/Scores.archive"), "moved bytes");
        EXPECT_EQ(fs::status(target + "/Scores.archive").permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        EXPECT_FALSE(fs::exists(from));

        EXPECT_EQ(moveFileWithoutReplacing(folder.file("caches/Stats.archive"), keptTo), FileMoveResult::destinationExists);
        EXPECT_EQ(readFileBytes(keptTo), "newer stats");
        EXPECT_EQ(readFileBytes(folder.file("caches/Stats.archive")), "old stats");
        EXPECT_EQ(moveFileWithoutReplacing(folder.file("caches/none"), target + "/none"), FileMoveResult::sourceMissing);
        EXPECT_EQ(entryCount(target), 2u);  // no temporaries left behind
    }
    if (!other.empty()) fs::remove_all(other);
}

TEST(FileMove, FailuresKeepTheSource) {
    TemporaryFolder folder;
    const std::string from = folder.write("Scores.archive", "bytes");
    LogCapture capture;
    EXPECT_EQ(moveFileWithoutReplacing(from, folder.file("missing/Scores.archive")), FileMoveResult::failed);
    EXPECT_EQ(readFileBytes(from), "bytes");
    EXPECT_TRUE(capture.contains("Cannot move " + from));
}

TEST(FileMove, AsideTakesAFreshNameEachTime) {
    TemporaryFolder folder;
    const std::string path = folder.file("UserDefaults.plist");
    std::vector<std::string> asides;
    for (const char* bytes : {"first", "second"}) {
        folder.write("UserDefaults.plist", bytes);
        asides.push_back(moveFileAside(path));
        ASSERT_FALSE(asides.back().empty());
        EXPECT_EQ(readFileBytes(asides.back()), bytes);
    }
    EXPECT_NE(asides[0], asides[1]);
    EXPECT_EQ(asides[0].rfind(path + ".corrupt-", 0), 0u);
    EXPECT_FALSE(fs::exists(path));
    LogCapture capture;
    EXPECT_EQ(moveFileAside(path), "");
    EXPECT_EQ(capture.lines().size(), 1u);
}
