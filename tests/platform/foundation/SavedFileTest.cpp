#include "platform/foundation/SavedFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {
// Names of the files in the folder that were kept aside.
std::vector<std::string> keptAside(const TemporaryFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (name.find(".corrupt-") != std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST(SavedFile, UnreadableFilesAreKeptAsideWithOneLineAndReadEmpty) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"garbage", "\x01\x02 not a property list"},
        {"truncated", Value::dictionary().toXML().substr(0, 40)},
        {"array at the top", Value::array().toXML()},
        {"string at the top", Value("text").toXML()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        const std::string path = folder.write("Saved.archive", c.bytes);
        LogCapture log;
        const SavedDictionary read = readSavedDictionary(path);
        EXPECT_FALSE(read.found);
        EXPECT_EQ(read.dictionary.count(), 0u);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("kept aside"));
        const auto aside = keptAside(folder);
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFileBytes(folder.file(aside[0])), c.bytes);  // nothing of it is lost
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(SavedFile, AFileKeptAsideIsNeverReplacedByTheNextOne) {
    TemporaryFolder folder;
    LogCapture log;
    for (const char* bytes : {"first", "second", "third"}) {
        readSavedDictionary(folder.write("Stats.archive", bytes));
    }
    const auto aside = keptAside(folder);
    ASSERT_EQ(aside.size(), 3u);
    std::set<std::string> contents;
    for (const auto& name : aside) contents.insert(readFileBytes(folder.file(name)));
    EXPECT_EQ(contents, (std::set<std::string>{"first", "second", "third"}));
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
