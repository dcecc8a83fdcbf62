// A program reporting results in a loop is killed at random moments; every result it saw complete
// must then be in the local store (sent) or in the cache (failed), and every file must read whole.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "shell/GameKitHelper.h"
#include "platform/foundation/RunLoop.h"
#include "platform/gameservice/LocalGameService.h"
#include "support/FakeGameService.h"
#include "support/TestSupport.h"

namespace {
constexpr int kRounds = 200;
constexpr int kLeaderboards = 3;

// Writes one line per completed request to the pipe: "<kind> <identifier> <value>", where kind is
// S (score sent to the local store), A (achievement sent) or F (score failed, so cached).
class ReportingDelegate : public GameKitHelperProtocol {
public:
    ReportingDelegate(int pipe, char successKind) : pipe_(pipe), successKind_(successKind) {}

    std::deque<int64_t> scoresOut;
    std::deque<double> achievementsOut;

    void onScoreSubmitted(bool success, const std::string& category) override {
        tell(success ? successKind_ : 'F', category, std::to_string(scoresOut.front()));
        scoresOut.pop_front();
    }
    void onAchievementReported(bool success, RefPtr<GameServiceAchievement> achievement) override {
        if (success) tell('A', achievement->identifier(), std::to_string(achievementsOut.front()));
        achievementsOut.pop_front();
    }

private:
    void tell(char kind, const std::string& identifier, const std::string& value) {
        const std::string line = std::string(1, kind) + " " + identifier + " " + value + "\n";
        if (write(pipe_, line.data(), line.size()) < 0) _exit(1);  // one write below PIPE_BUF is atomic
    }
    int pipe_;
    char successKind_;
};

// The child's work; never returns. Runs on a thread of its own, whose run loop is fresh after fork.
[[noreturn]] void reportForever(const std::string& localFolder, const std::string& failingFolder, int round, int pipe) {
    RunLoop& loop = RunLoop::current();
    GameKitHelper local(LocalGameService::create(localFolder, loop), localFolder);
    auto refusing = makeRef<FakeGameService>(loop);
    for (int i = 0; i < kLeaderboards; ++i) refusing->failingIdentifiers.insert("vtosx_level_" + std::to_string(i));
    GameKitHelper failing(refusing, failingFolder);
    ReportingDelegate localDelegate(pipe, 'S'), failingDelegate(pipe, 'F');
    local.setDelegate(&localDelegate);
    failing.setDelegate(&failingDelegate);
    local.authenticateLocalPlayer();
    failing.authenticateLocalPlayer();
    const std::string achievement = "vtosx_rank_" + std::to_string(round % 10 + 1);
    for (int64_t step = 1;; ++step) {
        loop.runOnce();
        if (!local.isLocalPlayerAuthenticated() || !failing.isLocalPlayerAuthenticated()) continue;
        const int64_t value = int64_t(round) * 1000000 + step;  // rises from round to round
        const std::string category = "vtosx_level_" + std::to_string(step % kLeaderboards);
        for (auto [helper, delegate] : {std::pair{&local, &localDelegate}, std::pair{&failing, &failingDelegate}}) {
            delegate->scoresOut.push_back(value);
            helper->submitScore(value, category);
        }
        const float percent = static_cast<float>(step % 100 + 1);
        if (local.achievements().count(achievement) == 0 || local.achievements().at(achievement)->percentComplete() < percent) {
            localDelegate.achievementsOut.push_back(percent);
            local.reportAchievementWithIdentifer(achievement, percent);
        }
    }
}

// Highest value seen complete per identifier, by kind.
using Seen = std::map<char, std::map<std::string, double>>;

void readLines(int pipe, std::string& pending, Seen& seen) {
    char buffer[4096];
    for (ssize_t count; (count = read(pipe, buffer, sizeof buffer)) > 0;) pending.append(buffer, size_t(count));
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
        std::istringstream line(pending.substr(0, end));
        char kind;
        std::string identifier;
        double value;
        line >> kind >> identifier >> value;
        double& highest = seen[kind][identifier];
        highest = std::max(highest, value);
    }
}

// The file as a dictionary; fails the test when it exists and does not read whole.
Value readWhole(const std::string& path) {
    if (!std::filesystem::exists(path)) return Value::dictionary();
    std::string error;
    const auto value = Value::fromFile(path, &error);
    EXPECT_TRUE(value && value->isDictionary()) << path << ": " << error;
    return value ? *value : Value::dictionary();
}
}  // namespace

TEST(GameKitHelperKill, EveryCompletedResultSurvivesAKillDuringSave) {
    TemporaryFolder localFolder, failingFolder;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> runMilliseconds(2, 60);
    Seen seen;
    for (int round = 0; round < kRounds && !testing::Test::HasFailure(); ++round) {
        int pipeEnds[2];
        ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            std::thread([&] { reportForever(localFolder.path(), failingFolder.path(), round, pipeEnds[1]); }).join();
            _exit(0);
        }
        close(pipeEnds[1]);
        fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
        std::string pending;
        const auto killAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(runMilliseconds(random));
        while (std::chrono::steady_clock::now() < killAt) {
            pollfd readable{pipeEnds[0], POLLIN, 0};
            poll(&readable, 1, 1);
            readLines(pipeEnds[0], pending, seen);
        }
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        readLines(pipeEnds[0], pending, seen);  // what was written before the kill
        close(pipeEnds[0]);

        const Value store = readWhole(localFolder.file(LocalGameService::kStoreFileName));
        for (const auto& [category, value] : seen['S']) {
            EXPECT_GE(store["leaderboards"][category]["value"].doubleValue(), value) << "round " << round << " " << category;
        }
        for (const auto& [identifier, percent] : seen['A']) {
            EXPECT_GE(store["achievements"][identifier]["percent"].doubleValue(), percent) << "round " << round;
        }
        const Value cache = readWhole(failingFolder.file(GameKitHelper::kCachedScoresFileName));
        for (const auto& [category, value] : seen['F']) {
            EXPECT_GE(cache[category]["value"].doubleValue(), value) << "round " << round << " " << category;
        }
        readWhole(failingFolder.file(GameKitHelper::kCachedAchievementsFileName));
    }
    EXPECT_TRUE(filesKeptAside(localFolder.path()).empty() && filesKeptAside(failingFolder.path()).empty());
    EXPECT_FALSE(seen['S'].empty() || seen['F'].empty() || seen['A'].empty());
}
