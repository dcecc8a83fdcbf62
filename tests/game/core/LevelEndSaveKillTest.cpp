// The saves at a level's end (the best score, the statistics, the rank) survive the program being
// killed at any moment of them: a restart reads the scores and statistics whole, each holding the
// last result that finished saving or the one under way, and the level screens' honey and the
// flight log's rank follow. A file made unreadable is moved aside and the game starts from zero.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/Stats.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Log.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

namespace {

constexpr uint32_t kReferenceScore = 1000;

std::string writeCatalogue(const TemporaryFolder& folder) {
    const Value level = dict({{"id", "g_a"},
                              {"available", true},
                              {"use_reference_score", true},
                              {"reference_score", static_cast<int64_t>(kReferenceScore)},
                              {"unlock_next_level_score", 0}});
    return folder.write("levels.plist", dict({{"level_group_order", array({"g"})},
                                              {"menu_data", dict({{"g", dict({{"name", "G"}, {"available", true}})}})},
                                              {"levels", dict({{"g", array({level})}})}})
                                            .toXML());
}

// The player: ends the level again and again with one more point each time, saving as a level's
// end does, and reports each result once all of its saves are done. Runs until killed.
[[noreturn]] void endLevelsForever(const std::string& catalogue, const std::string& folder, int reportFd) {
    LogCapture quiet;
    Levels levels(catalogue, folder, nullptr, [] { return false; });
    Stats stats(folder);
    Rank rank(levels, stats, nullptr, [] { return false; });
    for (uint32_t result = levels.getScoreForLevelId("g_a") + 1;; ++result) {
        stats.setStatUInt("games_finished", result);
        stats.setStatUInt("honey", result);
        if (!levels.setScore(result, "g_a")) _exit(2);
        rank.saveCurrentRank();
        if (!stats.saveStats()) _exit(3);
        if (write(reportFd, &result, sizeof result) != sizeof result) _exit(4);
    }
}

uint32_t lastReported(int readFd, uint32_t none) {
    uint32_t last = none, result = 0;
    while (read(readFd, &result, sizeof result) == sizeof result) last = result;
    return last;
}

TEST(LevelEndSaveKill, ProgressReadsBackWholeAfterAKillAtAnyMomentOfALevelsEnd) {
    TemporaryFolder folder;
    const std::string catalogue = writeCatalogue(folder);
    const std::string data = folder.file("data");
    std::random_device seedSource;
    const unsigned seed = seedSource();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);

    uint32_t lastResult = 0, lastHoney = 0;  // as the last restart read them
    for (int kill = 0; kill < 20; ++kill) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t player = fork();
        ASSERT_GE(player, 0);
        if (player == 0) {
            close(pipeFds[0]);
            endLevelsForever(catalogue, data, pipeFds[1]);
        }
        close(pipeFds[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_EQ(::kill(player, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(player, &status, 0), player);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the player stopped by itself, status " << status;
        const uint32_t reported = lastReported(pipeFds[0], 0);
        close(pipeFds[0]);

        // The restart.
        LogCapture capture;
        Levels levels(catalogue, data, nullptr, [] { return false; });
        Stats stats(data);
        Rank rank(levels, stats, nullptr, [] { return false; });
        ASSERT_TRUE(capture.lines().empty()) << "kill " << kill << ": " << capture.lines().front();
        // Each file holds the last result saved in full, or the one under way; the statistics are
        // saved after the score, so they never run ahead of it.
        const uint32_t finished = reported ? reported : lastResult;
        const uint32_t score = levels.getScoreForLevelId("g_a");
        ASSERT_TRUE(score == finished || score == finished + 1)
            << "kill " << kill << ": best " << score << ", the last finished result " << finished;
        const uint32_t honey = stats.getStatUInt("honey");
        const uint32_t finishedHoney = reported ? reported : lastHoney;
        ASSERT_TRUE((honey == finishedHoney || honey == finished + 1) && honey <= score)
            << "kill " << kill << ": honey " << honey << ", best " << score << ", last finished " << finished;
        EXPECT_EQ(stats.getStatUInt("games_finished"), honey);
        EXPECT_FLOAT_EQ(levels.getFillPercForLevelId("g_a"), std::min(1.0f, score / float(kReferenceScore)));
        EXPECT_EQ(rank.getSavedRank(), stats.getStatInt("rank"));
        lastResult = score;
        lastHoney = honey;
    }
    EXPECT_GT(lastResult, 0u) << "no level end was ever saved";
    EXPECT_TRUE(filesKeptAside(data).empty());

    // A file made unreadable: moved aside, and the game starts from zero.
    for (const char* name : {Levels::kScoresFileName, Stats::kStatsFileName}) {
        ASSERT_TRUE(writeFileAtomically(data + "/" + name, std::string("\x00garbage", 8)));
    }
    LogCapture capture;
    Levels levels(catalogue, data, nullptr, [] { return false; });
    Stats stats(data);
    EXPECT_EQ(levels.getScoreForLevelId("g_a"), 0u);
    EXPECT_EQ(stats.getStatUInt("honey"), 0u);
    EXPECT_EQ(filesKeptAside(data).size(), 2u);
    EXPECT_FALSE(capture.lines().empty());
}

}  // namespace
