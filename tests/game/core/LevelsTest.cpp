#include "game/core/Levels.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/GameKitHelper.h"
#include "platform/foundation/Log.h"
#include "support/FakeGameService.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

namespace {
Value level(const char* id, int64_t reference, int64_t unlock, bool counted = true, bool available = true) {
    return dict({{"id", id}, {"available", available}, {"reference_score", reference}, {"unlock_next_level_score", unlock},
                 {"use_reference_score", counted}, {"submit_to_game_center", true}});
}

// Two groups: "meadow" (shown) with a, b, c and a trailer level t that does not count, and
// "hills" (not shown) with h1, h2.
std::string catalogueBytes() {
    return dict({{"level_group_order", array({"meadow", "hills"})},
                 {"menu_data", dict({{"meadow", dict({{"name", "Meadow"}, {"available", true}})},
                                     {"hills", dict({{"name", "Hills"}, {"available", false}})}})},
                 {"levels", dict({{"meadow", array({level("meadow_a", 1000, 5000), level("meadow_b", 3000, 100),
                                                    level("meadow_c", 2000, 0), level("meadow_t", 700, 0, false),
                                                    // a second use of an id is left out
                                                    level("meadow_a", 1, 1)})},
                                  {"hills", array({level("h1", 100, 0), level("h2", 100, 0)})}})}})
        .toXML();
}

class LevelsTest : public testing::Test {
protected:
    void SetUp() override {
        drainMainRunLoop();
        levelsPath = resources.write("levels.plist", catalogueBytes());
        helper.authenticateLocalPlayer();
        drainMainRunLoop();
    }
    std::unique_ptr<Levels> makeLevels() {
        return std::make_unique<Levels>(levelsPath, data.path(), &helper, [this] { return useGameService; });
    }
    std::string scoresPath() const { return data.file(Levels::kScoresFileName); }

    TemporaryFolder resources, data;
    std::string levelsPath;
    RefPtr<FakeGameService> service = makeRef<FakeGameService>();
    GameKitHelper helper{service, data.path()};
    bool useGameService = true;
};
}  // namespace

TEST_F(LevelsTest, CatalogueNavigationAndAvailabilityStayWithinGroups) {
    LogCapture log;
    auto levels = makeLevels();
    EXPECT_TRUE(log.contains("meadow_a"));  // the duplicate
    EXPECT_EQ(levels->levelGroupCount(), 2);
    EXPECT_EQ(levels->levelGroupAvailableCount(), 1);
    EXPECT_EQ(levels->levelCount(), 6);
    struct Case {
        const char* id;
        const char* group;
        const char* previous;
        const char* next;
        bool available;
    };
    const Case cases[] = {
        {"meadow_a", "meadow", "", "meadow_b", true}, {"meadow_c", "meadow", "meadow_b", "meadow_t", true},
        {"meadow_t", "meadow", "meadow_c", "", true}, {"h1", "hills", "", "h2", false},
        {"unknown", "", "", "", false},               {"", "", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(levels->getLevelGroupIdForLevelId(c.id), c.group);
        EXPECT_EQ(levels->getPreviousLevelId(c.id), c.previous);
        EXPECT_EQ(levels->getNextLevelId(c.id), c.next);
        EXPECT_EQ(levels->isLevelAvailable(c.id), c.available);
    }
    EXPECT_EQ(levels->getScoreForLevelId("unknown"), 0u);
    EXPECT_EQ(levels->getLevelGroupNameForLevelGroupId("hills"), "Hills");
}

TEST_F(LevelsTest, ALevelUnlocksWhenThePreviousBestReachesItsUnlockScore) {
    auto levels = makeLevels();
    struct Case {
        uint32_t bestOfA;
        bool bUnlocked;
    };
    for (const Case& c : {Case{0, false}, Case{4999, false}, Case{5000, true}, Case{5001, true}}) {
        SCOPED_TRACE(c.bestOfA);
        levels->deleteScores();
        levels->setScore(c.bestOfA, "meadow_a");
        EXPECT_TRUE(levels->isLevelAvailableAndUnLocked("meadow_a"));  // first of its group
        EXPECT_EQ(levels->isLevelAvailableAndUnLocked("meadow_b"), c.bUnlocked);
        EXPECT_EQ(levels->willLevelBeAvailableAndUnLocked("meadow_b", c.bestOfA), c.bUnlocked);
        EXPECT_FALSE(levels->isLevelAvailableAndUnLocked("meadow_c"));
        EXPECT_FALSE(levels->isLevelAvailableAndUnLocked("h1"));  // its group is not shown
    }
}

TEST_F(LevelsTest, FillAndGlobalScoreCountOnlyLevelsWithReferenceScores) {
    auto levels = makeLevels();
    levels->setScore(1500, "meadow_a");
    levels->setScore(1500, "meadow_b");
    levels->setScore(900, "meadow_t");
    EXPECT_FLOAT_EQ(levels->getFillPercForLevelId("meadow_a"), 1.0f);
    EXPECT_FLOAT_EQ(levels->getFillPercForLevelId("meadow_b"), 0.5f);
    EXPECT_EQ(levels->getFillPercForLevelId("meadow_t"), 0.0f);
    EXPECT_EQ(levels->getReferenceScoreForLevelId("meadow_t"), 0u);
    EXPECT_EQ(levels->getReferenceScoreForLevelId("meadow_t", true), 700u);
    EXPECT_EQ(levels->getGlobalScore(), 3000u);
    // (min(1500, 1000) + 1500 + 0) / (1000 + 3000 + 2000)
    EXPECT_FLOAT_EQ(levels->getGlobalFillPerc(), 2500.0f / 6000.0f);

    // Two counted levels of reference 1000 and 3000, both at 1500; a third is not available.
    Value catalogue = *Value::fromFile(levelsPath, nullptr);
    catalogue.set("levels", dict({{"meadow", array({level("a", 1000, 0), level("b", 3000, 0), level("c", 2000, 0, true, false)})}}));
    levelsPath = resources.write("two.plist", catalogue.toXML());
    auto two = makeLevels();
    two->setScore(1500, "a");
    two->setScore(1500, "b");
    two->setScore(1500, "c");
    EXPECT_FLOAT_EQ(two->getGlobalFillPerc(), 0.625f);
}

TEST_F(LevelsTest, ScoresKeepTheBestAndStillOfferItToTheGameService) {
    auto levels = makeLevels();
    EXPECT_TRUE(levels->setScore(800, "meadow_a"));
    const std::string saved = readFileBytes(scoresPath());
    EXPECT_FALSE(levels->setScore(500, "meadow_a"));
    EXPECT_FALSE(levels->setScore(800, "meadow_a"));
    EXPECT_EQ(readFileBytes(scoresPath()), saved);
    EXPECT_EQ(makeLevels()->getScoreForLevelId("meadow_a"), 800u);
    drainMainRunLoop();
    using Sent = std::vector<std::pair<std::string, int64_t>>;
    EXPECT_EQ(service->reportedScores, (Sent(3, {"vtosx_meadow_a", 800})));

    service->reportedScores.clear();
    levels->setScore(0, "meadow_c");   // a best of 0 is not sent
    levels->setScore(10, "h1");        // nor one of a level that is not available
    useGameService = false;
    levels->setScore(900, "meadow_a");  // nor anything while the player says no
    levels->submitGlobalScoreToGameCenter();
    useGameService = true;
    levels->submitGlobalScoreToGameCenter();
    EXPECT_EQ(service->reportedScores, (Sent{{"vtosx_global_honey", 900}}));
}

TEST_F(LevelsTest, TheScoresFileIsCompletedAndABrokenOneKeptAside) {
    // Missing: every level gets 0 and the file is written.
    makeLevels();
    const auto written = Value::fromFile(scoresPath(), nullptr);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->count(), 6u);
    EXPECT_EQ((*written)["h2"], Value(0));

    // Numbers that are not numbers or are negative read 0.
    data.write(Levels::kScoresFileName,
               dict({{"meadow_a", "5000"}, {"meadow_b", -7}, {"meadow_c", 12.9}, {"h1", int64_t(5000000000)}}).toXML());
    auto levels = makeLevels();
    EXPECT_EQ(levels->getScoreForLevelId("meadow_a"), 0u);
    EXPECT_EQ(levels->getScoreForLevelId("meadow_b"), 0u);
    EXPECT_EQ(levels->getScoreForLevelId("meadow_c"), 12u);
    EXPECT_EQ(levels->getScoreForLevelId("h1"), UINT32_MAX);

    for (const std::string& broken : {std::string("garbage"), Value::array().toXML()}) {
        data.write(Levels::kScoresFileName, broken);
        LogCapture log;
        EXPECT_EQ(makeLevels()->getScoreForLevelId("meadow_c"), 0u);
        EXPECT_TRUE(log.contains("kept aside"));
        const auto aside = filesKeptAside(data.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFileBytes(aside[0]), broken);
        std::filesystem::remove(aside[0]);
    }
}

TEST_F(LevelsTest, AnUnreadableCatalogueIsEmpty) {
    for (const std::string& bytes : {std::string("garbage"), Value::array().toXML()}) {
        levelsPath = resources.write("levels.plist", bytes);
        LogCapture log;
        auto levels = makeLevels();
        EXPECT_EQ(levels->levelCount(), 0);
        EXPECT_EQ(levels->levelGroupCount(), 0);
        EXPECT_EQ(levels->getGlobalFillPerc(), 0.0f);
        EXPECT_EQ(log.lines().size(), 1u);
    }
}
