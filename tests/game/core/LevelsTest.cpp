#include "game/core/Levels.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/shell/GameKitHelper.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "support/FakeGameService.h"
#include "support/TestSupport.h"

namespace {
void drainMainLoop() {
    while (RunLoop::main().runOnce() > 0) {
    }
}

Value level(const char* id, int64_t reference, int64_t unlock, bool counted = true, bool available = true) {
    Value level = Value::dictionary();
    level.set("id", id);
    level.set("available", available);
    level.set("reference_score", reference);
    level.set("unlock_next_level_score", unlock);
    level.set("use_reference_score", counted);
    level.set("submit_to_game_center", true);
    return level;
}

Value group(const char* name, bool available) {
    Value data = Value::dictionary();
    data.set("name", name);
    data.set("available", available);
    return data;
}

// Two groups: "meadow" (shown) with a, b, c and a trailer level t that does not count, and
// "hills" (not shown) with h1, h2.
std::string catalogueBytes() {
    Value order = Value::array();
    for (const char* id : {"meadow", "hills"}) order.append(id);
    Value menu = Value::dictionary();
    menu.set("meadow", group("Meadow", true));
    menu.set("hills", group("Hills", false));
    Value meadow = Value::array();
    meadow.append(level("meadow_a", 1000, 5000));
    meadow.append(level("meadow_b", 3000, 100));
    meadow.append(level("meadow_c", 2000, 0));
    meadow.append(level("meadow_t", 700, 0, false));
    meadow.append(level("meadow_a", 1, 1));  // a second use of an id is left out
    Value hills = Value::array();
    hills.append(level("h1", 100, 0));
    hills.append(level("h2", 100, 0));
    Value levels = Value::dictionary();
    levels.set("meadow", meadow);
    levels.set("hills", hills);
    Value catalogue = Value::dictionary();
    catalogue.set("level_group_order", order);
    catalogue.set("menu_data", menu);
    catalogue.set("levels", levels);
    return catalogue.toXML();
}

class LevelsTest : public testing::Test {
protected:
    void SetUp() override {
        drainMainLoop();
        levelsPath = resources.write("levels.plist", catalogueBytes());
        helper.authenticateLocalPlayer();
        drainMainLoop();
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
    Value meadow = Value::array();
    meadow.append(level("a", 1000, 0));
    meadow.append(level("b", 3000, 0));
    meadow.append(level("c", 2000, 0, true, false));
    Value groups = Value::dictionary();
    groups.set("meadow", meadow);
    catalogue.set("levels", groups);
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
    drainMainLoop();
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
    Value odd = Value::dictionary();
    odd.set("meadow_a", "5000");
    odd.set("meadow_b", -7);
    odd.set("meadow_c", 12.9);
    odd.set("h1", 5000000000LL);
    data.write(Levels::kScoresFileName, odd.toXML());
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
        size_t kept = 0;
        for (const auto& file : std::filesystem::directory_iterator(data.path())) kept += readFileBytes(file.path()) == broken;
        EXPECT_EQ(kept, 1u);
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
