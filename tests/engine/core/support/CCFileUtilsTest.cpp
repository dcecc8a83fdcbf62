#include "engine/core/support/CCFileUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

using namespace std::literals;

namespace {
// A resource folder of our own and a fresh lookup object for each test.
class CCFileUtilsTest : public ::testing::Test {
protected:
    std::string resource(const std::string& name) { return resources_.write(name, "x"); }

    TemporaryFolder resources_;
    ScopedResourceFolder useResources_{resources_.path()};
    RefPtr<CCFileUtils> utils_ = makeRef<CCFileUtils>();
};
}  // namespace

TEST_F(CCFileUtilsTest, SuffixedFileFirstThenPlainThenTheNameUnchanged) {
    // Files present, the name asked for, the answer ("=" for the name unchanged), one lookup object each.
    const std::tuple<std::vector<std::string>, std::string, std::string> lookups[] = {
        {{"hero-mac.png", "hero.png"}, "hero.png", "hero-mac.png"}, {{"hero.png"}, "hero.png", "hero.png"},
        {{}, "hero.png", "="}, {{"sprites/enemy-mac.png", "enemy.png"}, "sprites/enemy.png", "sprites/enemy-mac.png"},
        {{"a-mac.pvr.ccz"}, "a.pvr.ccz", "a-mac.pvr.ccz"}, {{"t-mac.pvr.gz"}, "t.pvr.gz", "t-mac.pvr.gz"},
        {{"d-mac.gz"}, "d.gz", "d-mac.gz"}, {{"h-mac.png", "h-mac-mac.png"}, "h-mac.png", "h-mac.png"},
        {{"dir/inner.png"}, "dir", "="},  // folders are not resources
    };
    for (const auto& [files, name, answer] : lookups) {
        TemporaryFolder folder;
        const ScopedResourceFolder useFolder(folder.path());
        for (const std::string& file : files) folder.write(file, "x");
        const std::string expected = answer == "=" ? name : folder.file(answer);
        EXPECT_EQ(makeRef<CCFileUtils>()->fullPathFromRelativePath(name), expected) << name;
    }
    // Answers, found or not, are cached until purged, also across a suffix change.
    for (const char* suffix : {"-mac", "-other"}) {
        utils_->setMacSuffix(suffix);
        EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), "hero.png");
        EXPECT_EQ(utils_->removeSuffixFromFile("a-mac.png"), "a.png");
        resource("hero-other.png");
    }
    utils_->purgeCachedEntries();
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), resources_.file("hero-other.png"));
    EXPECT_EQ(utils_->removeSuffixFromFile("a-mac.png"), "a-mac.png");
    EXPECT_EQ(utils_->removeSuffix("-mac", "dir-mac/a-mac-mac.png"), "dir-mac/a.png");  // only in the last component
}

TEST_F(CCFileUtilsTest, AbsolutePathsAreCheckedOnTheFileSystem) {
    TemporaryFolder elsewhere;
    const std::string plain = elsewhere.write("hero.png", "x");
    EXPECT_FALSE(utils_->macFileExistsAtPath(plain));
    const std::string suffixed = elsewhere.write("hero-mac.png", "x");
    EXPECT_EQ(utils_->fullPathFromRelativePath(plain), suffixed);
    EXPECT_TRUE(utils_->macFileExistsAtPath(plain));
    resource("only-here.png");
    EXPECT_EQ(utils_->getPath("/only-here.png", ""), "");  // not found by its absolute-looking twin
    resource("level-mac.plist");
    EXPECT_TRUE(utils_->macFileExistsAtPath("level.plist"));
}

TEST_F(CCFileUtilsTest, NamesHoldingANulByteFindNoFile) {
    // Each name, cut at its NUL, spells a file that exists; whole, it names none.
    resource("hero.png");
    resource("hero-mac.png");
    TemporaryFolder elsewhere;
    const std::string absolute = elsewhere.write("a.png", "x");
    const std::string names[] = {"hero.png\0.plist"s, "hero.png\0"s, absolute + "\0.png"s, "\0"s};
    for (const std::string& name : names) {
        LogCapture log;
        EXPECT_EQ(utils_->fullPathFromRelativePath(name), "");
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("Lumora: file name refused, it holds a NUL byte: "));
        EXPECT_FALSE(utils_->fileExistsAtPath(name, "") || utils_->macFileExistsAtPath(name));
        EXPECT_EQ(utils_->getPath(name, "-mac") + utils_->pathForResource(name, "", ""), "");
    }
    LogCapture log;
    utils_->fullPathFromRelativePath("dir/hero.png\0.plist"s);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Lumora: file name refused, it holds a NUL byte: dir/hero.png\\0.plist"});
}

TEST_F(CCFileUtilsTest, LookupsFromTwoThreadsAtOnce) {
    for (int i = 0; i < 20; ++i) resource("item" + std::to_string(i) + (i % 2 ? "-mac.png" : ".png"));
    auto lookUp = [this](int seed) {
        for (int round = 0; round < 200; ++round) {
            const int i = (round * 7 + seed) % 20;
            const std::string expected = resources_.file("item" + std::to_string(i) + (i % 2 ? "-mac.png" : ".png"));
            EXPECT_EQ(utils_->fullPathFromRelativePath("item" + std::to_string(i) + ".png"), expected);
            EXPECT_EQ(utils_->removeSuffixFromFile("item-mac.png"), "item.png");
            if (round % 50 == seed) utils_->purgeCachedEntries();
        }
    };
    std::thread first(lookUp, 0), second(lookUp, 3);
    first.join();
    second.join();
}

TEST(ccLoadFileToMemory, ReadsWholeRegularFilesWithinTheBudget) {
    TemporaryFolder folder;
    for (const std::string& content : {std::string(), std::string("a\0b\xff", 4)}) {
        unsigned char* out = nullptr;
        ASSERT_EQ(ccLoadFileToMemory(folder.write("data", content).c_str(), &out), int64_t(content.size()));
        ASSERT_NE(out, nullptr);  // an empty file too
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), content.size()), content);
        std::free(out);
    }
    // A sparse file one byte over the budget is refused without being read.
    std::filesystem::resize_file(folder.write("huge", ""), InputLimits::kFileBytes + 1);
    const std::string paths[] = {folder.file("missing"), folder.path(), "/dev/zero", folder.file("huge")};
    for (const std::string& path : paths) {
        unsigned char* out = reinterpret_cast<unsigned char*>(&out);  // must be reset
        EXPECT_EQ(ccLoadFileToMemory(path.c_str(), &out), -1) << path;
        EXPECT_EQ(out, nullptr);
    }
}
