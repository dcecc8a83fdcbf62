#include "platform/foundation/SavedFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

// One folder for every case: each file kept aside takes a name of its own, never one used before.
TEST(SavedFile, UnreadableFilesAreKeptAsideWithOneLineAndReadEmpty) {
    const std::set<std::string> cases = {
        "\x01\x02 not a property list",
        Value::dictionary().toXML().substr(0, 40),
        Value::array().toXML(),
        Value("text").toXML(),
    };
    TemporaryFolder folder;
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        const std::string path = folder.write("Saved.archive", bytes);
        LogCapture log;
        const SavedDictionary read = readSavedDictionary(path);
        EXPECT_FALSE(read.found);
        EXPECT_EQ(read.dictionary.count(), 0u);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("kept aside"));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    std::set<std::string> keptBytes;  // nothing of any of them is lost
    for (const std::string& path : filesKeptAside(folder.path())) keptBytes.insert(readFileBytes(path));
    EXPECT_EQ(keptBytes, cases);
}

TEST(SavedFile, MissingFilesReadEmptyAndWrittenDictionariesReadBack) {
    TemporaryFolder folder;
    const std::string path = folder.file("Scores.archive");
    LogCapture log;
    EXPECT_FALSE(readSavedDictionary(path).found);
    Value scores = Value::dictionary();
    scores.set("meadow_a", 5000);
    ASSERT_TRUE(writeSavedDictionary(path, scores));
    const SavedDictionary read = readSavedDictionary(path);
    EXPECT_TRUE(read.found);
    EXPECT_EQ(read.dictionary, scores);
    EXPECT_TRUE(log.lines().empty());

    EXPECT_FALSE(writeSavedDictionary(folder.file("missing-folder/Scores.archive"), scores));
    EXPECT_EQ(log.lines().size(), 1u);
}
