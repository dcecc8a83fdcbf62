#include "platform/gameservice/LocalGameService.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "support/TestSupport.h"

namespace {
// What a request completed with, once its pass has run.
struct Outcome {
    bool completed = false;
    RefPtr<Error> error;
    GameService::Completion completion() {
        return [this](RefPtr<Error> e) { completed = true, error = e; };
    }
};

RefPtr<GameServiceScore> score(const std::string& category, int64_t value, double date = 1000) {
    return makeRef<GameServiceScore>(category, value, date, "local:1");
}

RefPtr<GameServiceAchievement> achievement(const std::string& identifier, double percent) {
    auto made = makeRef<GameServiceAchievement>(identifier);
    made->setPercentComplete(percent);
    return made;
}

class LocalGameServiceTest : public testing::Test {
protected:
    void SetUp() override { drainMainRunLoop(); }

    RefPtr<LocalGameService> signedIn() {
        auto service = LocalGameService::create(folder.path());
        Outcome outcome;
        service->authenticate(outcome.completion());
        drainMainRunLoop();
        EXPECT_TRUE(outcome.completed && !outcome.error);
        return service;
    }
    std::vector<RefPtr<GameServiceScore>> load(LocalGameService& service, GameServiceScoreRequest request) {
        std::vector<RefPtr<GameServiceScore>> loaded;
        service.loadScores(request, [&](auto scores, RefPtr<Error>) { loaded = scores; });
        drainMainRunLoop();
        return loaded;
    }
    std::map<std::string, double> loadAchievements(LocalGameService& service) {
        std::map<std::string, double> loaded;
        service.loadAchievements([&](auto achievements, RefPtr<Error>) {
            for (auto& a : achievements) loaded[a->identifier()] = a->percentComplete();
        });
        drainMainRunLoop();
        return loaded;
    }

    TemporaryFolder folder;
};
}  // namespace

TEST_F(LocalGameServiceTest, AuthenticationSucceedsOnTheNextPassAndIsAnnouncedOnce) {
    auto service = LocalGameService::create(folder.path());
    int announcements = 0;
    NotificationCenter::defaultCenter().addObserver(this, GameService::kAuthenticationDidChangeNotification, service.get(),
                                                    [&](const Notification&) { ++announcements; });
    Outcome first, second;
    service->authenticate(first.completion());
    EXPECT_FALSE(first.completed || service->isAuthenticated());
    EXPECT_TRUE(service->playerID().empty());
    drainMainRunLoop();
    EXPECT_TRUE(first.completed && !first.error && service->isAuthenticated());
    EXPECT_EQ(service->playerID().rfind("local:", 0), 0u);
    service->authenticate(second.completion());
    drainMainRunLoop();
    EXPECT_TRUE(second.completed && !second.error);
    EXPECT_EQ(announcements, 1);
    NotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(LocalGameServiceTest, RequestsFailWhenSignedOutOrUnavailable) {
    const std::string notAFolder = folder.write("file", "x");
    struct Case {
        const char* name;
        std::string serviceFolder;
        bool authenticate;
        int64_t code;
    };
    const Case cases[] = {
        {"signed out", folder.path(), false, GameService::kNotAuthenticated},
        {"no data folder", notAFolder + "/data", true, GameService::kNotAvailable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto service = LocalGameService::create(c.serviceFolder);
        Outcome authentication, report, achievementReport, reset, bestsLoad;
        if (c.authenticate) service->authenticate(authentication.completion());
        service->reportScore(score("vtosx_meadow_a", 10), report.completion());
        service->reportAchievement(achievement("vtosx_rank_1", 100), achievementReport.completion());
        service->resetAchievements(reset.completion());
        service->loadBestScores([&](auto, RefPtr<Error> e) { bestsLoad.completion()(e); });
        drainMainRunLoop();
        for (Outcome* outcome : {&report, &achievementReport, &reset, &bestsLoad}) {
            ASSERT_TRUE(outcome->completed && outcome->error);
            EXPECT_EQ(outcome->error->code(), c.code);
        }
        EXPECT_FALSE(service->isAuthenticated());
        EXPECT_FALSE(std::filesystem::exists(service->storePath()));
    }
}

TEST_F(LocalGameServiceTest, TheStoreKeepsTheBestValuesAndHighestPercentagesAcrossRestarts) {
    {
        auto service = signedIn();
        for (int64_t value : {500, 800, 300, 800}) service->reportScore(score("vtosx_meadow_a", value, double(value)), [](RefPtr<Error>) {});
        service->reportScore(score("vtosx_global_honey", 42), [](RefPtr<Error>) {});
        for (double percent : {100.0, 0.0}) service->reportAchievement(achievement("vtosx_rank_1", percent), [](RefPtr<Error>) {});
        service->reportAchievement(achievement("vtosx_rank_2", 50), [](RefPtr<Error>) {});
        drainMainRunLoop();
    }
    auto service = signedIn();
    const auto loaded = load(*service, {"vtosx_meadow_a"});
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0]->value(), 800);
    EXPECT_EQ(loaded[0]->date(), 800);  // the date the best was first reached
    EXPECT_EQ(loadAchievements(*service), (std::map<std::string, double>{{"vtosx_rank_1", 100}, {"vtosx_rank_2", 50}}));
    // Every leaderboard's best, in identifier order whatever order they were first reached in.
    std::vector<std::pair<std::string, int64_t>> bests;
    service->loadBestScores([&](auto scores, RefPtr<Error>) {
        for (const auto& s : scores) bests.emplace_back(s->category(), s->value());
    });
    drainMainRunLoop();
    EXPECT_EQ(bests, (std::vector<std::pair<std::string, int64_t>>{{"vtosx_global_honey", 42}, {"vtosx_meadow_a", 800}}));

    Outcome reset;
    service->resetAchievements(reset.completion());
    drainMainRunLoop();
    EXPECT_TRUE(reset.completed && !reset.error);
    EXPECT_TRUE(loadAchievements(*signedIn()).empty());
}

TEST_F(LocalGameServiceTest, LoadsAnswerTheRangesAndTimesTheScoreFallsIn) {
    auto service = signedIn();
    service->reportScore(score("old", 7, GameService::currentDate() - 3 * 86400), [](RefPtr<Error>) {});
    service->reportScore(score("new", 9, GameService::currentDate()), [](RefPtr<Error>) {});
    drainMainRunLoop();
    using Scope = GameServiceScoreRequest::TimeScope;
    struct Case {
        const char* category;
        int64_t first, length;
        Scope scope;
        bool localPlayerOnly;
        size_t expected;
    };
    const Case cases[] = {
        {"new", 1, 10, Scope::Today, false, 1}, {"old", 1, 10, Scope::Today, false, 0},
        {"old", 1, 10, Scope::Week, false, 1},  {"old", 1, 10, Scope::AllTime, false, 1},
        {"new", 2, 10, Scope::AllTime, false, 0}, {"new", 1, 0, Scope::AllTime, false, 0},
        {"new", 5, 1, Scope::AllTime, true, 1}, {"none", 1, 10, Scope::AllTime, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.category << " from " << c.first);
        GameServiceScoreRequest request{c.category, c.first, c.length, c.scope, c.localPlayerOnly};
        EXPECT_EQ(load(*service, request).size(), c.expected);
    }
}

TEST_F(LocalGameServiceTest, AnUnwritableStoreFailsTheReportAndKeepsNothingOfIt) {
    // A store path taken by a folder with something in it cannot be renamed over.
    auto blocked = signedIn();
    std::filesystem::create_directories(blocked->storePath() + "/inside");

    LogCapture log;
    Outcome failed, failedAchievement;
    blocked->reportScore(score("vtosx_meadow_a", 200), failed.completion());
    blocked->reportAchievement(achievement("vtosx_rank_1", 100), failedAchievement.completion());
    drainMainRunLoop();
    for (Outcome* outcome : {&failed, &failedAchievement}) {
        ASSERT_TRUE(outcome->completed && outcome->error);
        EXPECT_EQ(outcome->error->code(), GameService::kStoreNotWritable);
    }
    EXPECT_TRUE(load(*blocked, {"vtosx_meadow_a"}).empty());  // the failed report left nothing behind
    EXPECT_TRUE(loadAchievements(*blocked).empty());
}

TEST_F(LocalGameServiceTest, ABrokenStoreIsKeptAsideAndTheServiceStartsEmpty) {
    Value wrongEntry = Value::dictionary();
    Value leaderboards = Value::dictionary();
    leaderboards.set("vtosx_meadow_a", "not an entry");
    wrongEntry.set("leaderboards", leaderboards);
    for (const std::string& bytes : {std::string("garbage"), Value::array().toXML(), wrongEntry.toXML()}) {
        TemporaryFolder data;
        data.write(LocalGameService::kStoreFileName, bytes);
        auto service = LocalGameService::create(data.path());
        LogCapture log;
        Outcome authentication;
        service->authenticate(authentication.completion());
        drainMainRunLoop();
        EXPECT_TRUE(authentication.completed && !authentication.error);
        EXPECT_TRUE(log.contains("kept aside"));
        EXPECT_TRUE(loadAchievements(*service).empty());
        const auto aside = filesKeptAside(data.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFileBytes(aside[0]), bytes);
    }
}
