#include "game/core/Rank.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/GameKitHelper.h"
#include "game/core/Levels.h"
#include "game/core/Stats.h"
#include "platform/foundation/Log.h"
#include "support/FakeGameService.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

namespace {
class RankTest : public testing::Test {
protected:
    void SetUp() override {
        drainMainRunLoop();
        helper.authenticateLocalPlayer();
        drainMainRunLoop();
    }
    std::string statsPath() const { return data.file(Stats::kStatsFileName); }

    TemporaryFolder data;
    RefPtr<FakeGameService> service = makeRef<FakeGameService>();
    GameKitHelper helper{service, data.path()};
    Levels levels{data.file("no-levels.plist"), data.path(), &helper, [] { return true; }};
    Stats stats{data.path()};
    Rank rank{levels, stats, &helper, [] { return true; }};
};
}  // namespace

TEST(RankNames, FillsReachTheirRanksFromTheTop) {
    struct Case {
        float fill;
        int rank;
        const char* nice;
    };
    const Case cases[] = {
        {1.0f, 10, "a Vantrel"},  {0.9999999f, 10, "a Vantrel"}, {0.999999f, 9, "an Ace"}, {0.95f, 9, "an Ace"},
        {0.9f, 9, "an Ace"},      {0.8999f, 8, "a Maverick"},    {0.5f, 5, "a Wingman"},  {0.1f, 1, "a Flight Risk"},
        {0.09f, 0, "a New Bee"},  {0.0f, 0, "a New Bee"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fill);
        EXPECT_EQ(Rank::getRankForPerc(c.fill), c.rank);
        EXPECT_EQ(Rank::getRankNiceDescription(c.rank), c.nice);
    }
    EXPECT_EQ(Rank::getRankDescription(11), "New Bee");
    EXPECT_EQ(Rank::getRankDescription(-1), "New Bee");
}

TEST_F(RankTest, TheSavedRankIsWrittenOnlyWhenItChanges) {
    EXPECT_EQ(rank.setSavedRank(3), 1);
    stats.setStatUInt("honey", 77);  // in memory only
    const std::string saved = readFileBytes(statsPath());
    EXPECT_EQ(rank.setSavedRank(3), 0);
    EXPECT_EQ(readFileBytes(statsPath()), saved);
    EXPECT_EQ(rank.setSavedRank(2), -1);
    EXPECT_EQ(Stats(data.path()).getStatUInt("honey"), 77u);
    EXPECT_EQ(rank.saveCurrentRank(), -1);  // no levels: fill 0, rank 0
    EXPECT_EQ(rank.getSavedRank(), 0);
}

TEST_F(RankTest, ASavedRankOutsideTheTableIsClamped) {
    for (const auto& [stored, read] : std::vector<std::pair<Value, int>>{{Value(15), 10}, {Value(-3), 0}, {Value("7"), 0}, {Value(7.9), 7}}) {
        data.write(Stats::kStatsFileName, dict({{"rank", stored}}).toXML());
        Stats edited(data.path());
        EXPECT_EQ(Rank(levels, edited, &helper, [] { return true; }).getSavedRank(), read);
    }
}

TEST_F(RankTest, AchievementsFollowTheSavedRankUpwardsOnly) {
    auto full = makeRef<GameServiceAchievement>("vtosx_rank_1");
    full->setPercentComplete(100);
    auto partial = makeRef<GameServiceAchievement>("vtosx_rank_5");
    partial->setPercentComplete(100);
    service->achievementsToLoad = {full, partial};
    helper.loadAchievements();
    drainMainRunLoop();

    rank.setSavedRank(3);
    drainMainRunLoop();
    using Sent = std::vector<std::pair<std::string, double>>;
    EXPECT_EQ(service->reportedAchievements, (Sent{{"vtosx_rank_2", 100}, {"vtosx_rank_3", 100}}));

    // After deleting the statistics the rank is 0: rank 5 stands above 0 % and is offered 0 %,
    // which the client does not send, since achievements are never lowered.
    service->reportedAchievements.clear();
    stats.deleteStats();
    EXPECT_EQ(rank.getSavedRank(), 0);
    rank.updateGameCenter();
    drainMainRunLoop();
    EXPECT_TRUE(service->reportedAchievements.empty());

    Rank off(levels, stats, &helper, [] { return false; });
    off.setSavedRank(9);
    drainMainRunLoop();
    EXPECT_TRUE(service->reportedAchievements.empty());
}

TEST_F(RankTest, StatisticsReadZeroForAnythingButNumbersAndWrapAt32Bits) {
    EXPECT_TRUE(std::filesystem::exists(statsPath()));  // written at once when missing
    stats.incrementStatUInt("buddies_found", 3);
    EXPECT_EQ(stats.getStatUInt("buddies_found"), 3u);
    stats.setStatUInt("honey", UINT32_MAX);
    stats.incrementStatUInt("honey", 2);
    EXPECT_EQ(stats.getStatUInt("honey"), 1u);
    stats.setStatInt("rank", INT32_MAX);
    stats.incrementStatInt("rank", 1);
    EXPECT_EQ(stats.getStatInt("rank"), INT32_MIN);
    stats.setStatFloat("distance_travelled", 1.5f);
    stats.incrementStatFloat("distance_travelled", std::numeric_limits<float>::infinity());
    EXPECT_EQ(stats.getStatFloat("distance_travelled"), 0.0f);
    ASSERT_TRUE(stats.saveStats());

    data.write(Stats::kStatsFileName, dict({{"honey", "12"}, {"hives_visited", -4}, {"games_started", Value::array()}}).toXML());
    Stats read(data.path());
    for (const char* key : {"honey", "hives_visited", "games_started", "absent"}) EXPECT_EQ(read.getStatUInt(key), 0u) << key;
    EXPECT_EQ(read.getStatInt("hives_visited"), -4);
}

TEST_F(RankTest, ABrokenStatisticsFileIsKeptAside) {
    data.write(Stats::kStatsFileName, "broken");
    LogCapture log;
    Stats fresh(data.path());
    EXPECT_EQ(fresh.getStatUInt("honey"), 0u);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains(".corrupt-"));
    EXPECT_TRUE(Value::fromFile(statsPath(), nullptr).has_value());  // a fresh, readable file
}
