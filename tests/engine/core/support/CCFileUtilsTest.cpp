#include "engine/core/support/CCFileUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "support/TestSupport.h"

namespace {
// A resource folder of our own and a fresh lookup object for each test.
class CCFileUtilsTest : public ::testing::Test {
protected:
    std::string resource(const std::string& name) { return resources_.write(name, "x"); }
    void removeResource(const std::string& name) { std::filesystem::remove(resources_.file(name)); }

    TemporaryFolder resources_;
    ScopedResourceFolder useResources_{resources_.path()};
    RefPtr<CCFileUtils> utils_ = makeRef<CCFileUtils>();
};
}  // namespace

TEST_F(CCFileUtilsTest, SuffixedFileFirstThenPlainThenTheNameUnchanged) {
    const std::string suffixed = resource("hero-mac.png");
    const std::string plain = resource("hero.png");
    int32_t type = 0;
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png", &type), suffixed);
    EXPECT_EQ(type, kCCResolutionStandard);

    removeResource("hero-mac.png");
    utils_->purgeCachedEntries();
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png", &type), plain);

    removeResource("hero.png");
    utils_->purgeCachedEntries();
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), "hero.png");
    // Not finding it is cached as well.
    resource("hero.png");
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), "hero.png");
    utils_->purgeCachedEntries();
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), plain);

    // The directory part of the name is kept.
    const std::string nested = resource("sprites/enemy-mac.png");
    resource("enemy.png");
    EXPECT_EQ(utils_->fullPathFromRelativePath("sprites/enemy.png"), nested);
    EXPECT_EQ(utils_->fullPathFromRelativePath("enemy.png"), resources_.file("enemy.png"));
}

TEST_F(CCFileUtilsTest, SuffixGoesBeforeDoubleExtensionsAndIsNotRepeated) {
    EXPECT_EQ(utils_->getPath("sheet.pvr.ccz", "-mac"), "");
    const std::string sheet = resource("sheet-mac.pvr.ccz");
    const std::string texture = resource("tex-mac.pvr.gz");
    const std::string data = resource("data-mac.gz");
    EXPECT_EQ(utils_->getPath("sheet.pvr.ccz", "-mac"), sheet);
    EXPECT_EQ(utils_->getPath("tex.pvr.gz", "-mac"), texture);
    EXPECT_EQ(utils_->getPath("data.gz", "-mac"), data);

    const std::string hero = resource("hero-mac.png");
    resource("hero-mac-mac.png");
    EXPECT_EQ(utils_->getPath("hero-mac.png", "-mac"), hero);
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero-mac.png"), hero);

    const std::string plain = resource("plain");
    EXPECT_EQ(utils_->getPath("plain", ""), plain);
    EXPECT_EQ(utils_->getPath("", "-mac"), "");
    EXPECT_EQ(utils_->pathForResource("plain", "", ""), plain);
    EXPECT_EQ(utils_->pathForResource("sheet-mac.pvr", "ccz", ""), sheet);
    resource("dir/inner.png");
    EXPECT_EQ(utils_->pathForResource("dir", "", ""), "");  // folders are not resources
}

TEST_F(CCFileUtilsTest, CachedAnswersSurviveASuffixChangeUntilPurged) {
    const std::string mac = resource("hero-mac.png");
    const std::string other = resource("hero-other.png");
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), mac);
    utils_->setMacSuffix("-other");
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), mac);
    utils_->purgeCachedEntries();
    EXPECT_EQ(utils_->fullPathFromRelativePath("hero.png"), other);

    utils_->setMacSuffix("-mac");
    EXPECT_EQ(utils_->removeSuffixFromFile("dir/a-mac.png"), "dir/a.png");
    utils_->setMacSuffix("-other");
    EXPECT_EQ(utils_->removeSuffixFromFile("dir/a-mac.png"), "dir/a.png");
    utils_->purgeCachedEntries();
    EXPECT_EQ(utils_->removeSuffixFromFile("dir/a-mac.png"), "dir/a-mac.png");
}

TEST_F(CCFileUtilsTest, SuffixRemoval) {
    EXPECT_EQ(utils_->removeSuffixFromFile("/abs/a-mac.pvr.ccz"), "/abs/a.pvr.ccz");
    EXPECT_EQ(utils_->removeSuffix("-mac", "dir/a.png"), "");
    EXPECT_EQ(utils_->removeSuffix("", "dir/a-mac.png"), "dir/a-mac.png");
    EXPECT_EQ(utils_->removeSuffix("-mac", "dir/a-mac-mac.png"), "dir/a.png");
    // Only the last component loses the suffix.
    EXPECT_EQ(utils_->removeSuffix("-mac", "dir-mac/a-mac.png"), "dir-mac/a.png");
}

TEST_F(CCFileUtilsTest, AbsolutePathsAreCheckedOnTheFileSystem) {
    TemporaryFolder elsewhere;
    const std::string plain = elsewhere.write("hero.png", "x");
    EXPECT_EQ(utils_->fullPathFromRelativePath(plain), plain);
    utils_->purgeCachedEntries();
    const std::string suffixed = elsewhere.write("hero-mac.png", "x");
    EXPECT_EQ(utils_->fullPathFromRelativePath(plain), suffixed);
    EXPECT_EQ(utils_->getPath(elsewhere.file("missing.png"), "-mac"), "");
    EXPECT_EQ(utils_->fullPathFromRelativePath(elsewhere.file("missing.png")), elsewhere.file("missing.png"));
    // A name in the resource folder is not found by its absolute-looking twin.
    resource("only-here.png");
    EXPECT_EQ(utils_->getPath("/only-here.png", ""), "");

    EXPECT_TRUE(utils_->macFileExistsAtPath(plain));
    EXPECT_FALSE(utils_->macRetinaDisplayFileExistsAtPath(plain));
    resource("level.plist");
    EXPECT_FALSE(utils_->macFileExistsAtPath("level.plist"));
    resource("level-mac.plist");
    EXPECT_TRUE(utils_->macFileExistsAtPath("level.plist"));
    EXPECT_TRUE(utils_->fileExistsAtPath("level.plist", ""));
    EXPECT_FALSE(utils_->fileExistsAtPath("nothing.plist", ""));
}

TEST_F(CCFileUtilsTest, LookupsFromTwoThreadsAtOnce) {
    for (int i = 0; i < 20; ++i) resource("item" + std::to_string(i) + (i % 2 ? "-mac.png" : ".png"));
    auto lookUp = [this](int seed) {
        for (int round = 0; round < 200; ++round) {
            const int i = (round * 7 + seed) % 20;
            const std::string name = "item" + std::to_string(i) + ".png";
            const std::string expected = resources_.file("item" + std::to_string(i) + (i % 2 ? "-mac.png" : ".png"));
            EXPECT_EQ(utils_->fullPathFromRelativePath(name), expected);
            EXPECT_EQ(utils_->removeSuffixFromFile("item-mac.png"), "item.png");
            if (round % 50 == seed) utils_->purgeCachedEntries();
        }
    };
    std::thread first(lookUp, 0);
    std::thread second(lookUp, 3);
    first.join();
    second.join();
}

TEST(ccLoadFileToMemory, ReadsWholeFilesAndRefusesTheRest) {
    TemporaryFolder folder;
    unsigned char* out = nullptr;
    EXPECT_EQ(ccLoadFileToMemory(folder.write("empty", "").c_str(), &out), 0);
    EXPECT_NE(out, nullptr);
    std::free(out);

    const std::string bytes("a\0b\xff", 4);
    ASSERT_EQ(ccLoadFileToMemory(folder.write("data", bytes).c_str(), &out), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), bytes);
    std::free(out);

    for (const std::string& path : {folder.file("missing"), folder.path()}) {
        out = reinterpret_cast<unsigned char*>(&out);  // must be reset
        EXPECT_EQ(ccLoadFileToMemory(path.c_str(), &out), -1);
        EXPECT_EQ(out, nullptr);
    }
}
