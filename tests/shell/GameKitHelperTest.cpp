#include "shell/GameKitHelper.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/Log.h"
#include "platform/foundation/SavedFile.h"
#include "platform/gameservice/LocalGameService.h"
#include "support/FakeGameService.h"
#include "support/TestSupport.h"

namespace {
// Records every callback as one line.
struct RecordingDelegate : GameKitHelperProtocol {
    std::vector<std::string> calls;
    void onLocalPlayerAuthenticationChanged() override { calls.push_back("authentication"); }
    void onGameCenterViewPresented(int state) override { calls.push_back("presented " + std::to_string(state)); }
    void onGameCenterViewDismissed() override { calls.push_back("dismissed"); }
    void onLeaderboardViewDismissed() override { calls.push_back("leaderboards dismissed"); }
    void onAchievementsViewDismissed() override { calls.push_back("achievements dismissed"); }
    void onScoreSubmitted(bool success, const std::string& category) override {
        calls.push_back(std::string("score ") + (success ? "sent " : "failed ") + category);
    }
    void onAchievementReported(bool success, RefPtr<GameServiceAchievement> a) override {
        calls.push_back(std::string("achievement ") + (success ? "sent " : "failed ") + a->identifier());
    }
    void onAchievementsLoaded(bool success, const Achievements& a) override {
        calls.push_back(std::string("loaded ") + (success ? "" : "failed ") + std::to_string(a.size()));
    }
    void onResetAchievements(bool success) override { calls.push_back(success ? "reset" : "reset failed"); }
};

struct FakePresenter : GameKitViewPresenter {
    bool hasWindow = true;
    std::vector<int> shown;
    int dismissed = 0;
    bool presentView(int viewState) override {
        if (hasWindow) shown.push_back(viewState);
        return hasWindow;
    }
    void dismissView() override { ++dismissed; }
};

std::map<std::string, int64_t> cachedValues(const GameKitHelper& helper) {
    std::map<std::string, int64_t> values;
    for (const auto& [category, score] : helper.cachedScores()) values[category] = score->value();
    return values;
}

class GameKitHelperTest : public testing::Test {
protected:
    void SetUp() override { drainMainRunLoop(); }

    // A helper over the fake service, with the delegate set; signed in unless told otherwise.
    std::unique_ptr<GameKitHelper> makeHelper(bool signIn = true) {
        auto helper = std::make_unique<GameKitHelper>(service, folder.path());
        helper->setDelegate(&delegate);
        if (signIn) {
            helper->authenticateLocalPlayer();
            drainMainRunLoop();
        }
        delegate.calls.clear();
        return helper;
    }

    TemporaryFolder folder;
    RefPtr<FakeGameService> service = makeRef<FakeGameService>();
    RecordingDelegate delegate;
};
}  // namespace

TEST_F(GameKitHelperTest, RequestsDoNothingSilentlyWhenUnavailableOrSignedOut) {
    FakePresenter presenter;
    for (bool available : {false, true}) {
        SCOPED_TRACE(available ? "signed out" : "unavailable");
        service->available = available;
        service->authenticationSucceeds = false;
        auto helper = makeHelper(false);
        helper->setViewPresenter(&presenter);
        if (available) {
            helper->authenticateLocalPlayer();
            drainMainRunLoop();
            EXPECT_TRUE(helper->lastError());
        }
        EXPECT_FALSE(helper->isLocalPlayerAuthenticated());
        helper->submitScore(500, "vtosx_meadow_a");
        helper->reportAchievementWithIdentifer("vtosx_rank_1", 100, true);
        helper->loadAchievements();
        helper->retrieveScore();
        helper->resetAchievements();
        helper->showGameCenter();
        EXPECT_FALSE(helper->getAchievementByIdentifier("vtosx_rank_1"));
        drainMainRunLoop();
        EXPECT_TRUE(service->reportedScores.empty() && service->reportedAchievements.empty());
        EXPECT_EQ(service->resets, 0);
        EXPECT_TRUE(delegate.calls.empty());
        EXPECT_TRUE(presenter.shown.empty());
        EXPECT_TRUE(helper->cachedScores().empty());
    }
}

TEST_F(GameKitHelperTest, FailedScoresAreCachedAtTheHigherValuePerLeaderboardAndSurviveARestart) {
    struct Case {
        std::vector<int64_t> submitted;
        int64_t cached;
    };
    const Case cases[] = {{{500, 800}, 800}, {{800, 500}, 800}, {{700, 700}, 700}};
    for (const Case& c : cases) {
        TemporaryFolder caches;
        service->failingIdentifiers = {"vtosx_meadow_a"};
        {
            GameKitHelper helper(service, caches.path());
            helper.authenticateLocalPlayer();
            drainMainRunLoop();
            for (int64_t value : c.submitted) helper.submitScore(value, "vtosx_meadow_a");
            helper.submitScore(10, "vtosx_meadow_b");  // sent
            drainMainRunLoop();
            EXPECT_FALSE(helper.lastError());  // the last completion succeeded
        }
        GameKitHelper restarted(service, caches.path());
        EXPECT_EQ(cachedValues(restarted), (std::map<std::string, int64_t>{{"vtosx_meadow_a", c.cached}}));
    }
    // A tie keeps the score that was held (its date is the earlier one).
    GameKitHelper helper(service, folder.path());
    helper.authenticateLocalPlayer();
    drainMainRunLoop();
    helper.submitScore(700, "vtosx_meadow_a");
    drainMainRunLoop();
    const RefPtr<GameServiceScore> held = helper.cachedScores().at("vtosx_meadow_a");
    helper.submitScore(700, "vtosx_meadow_a");
    drainMainRunLoop();
    EXPECT_EQ(helper.cachedScores().at("vtosx_meadow_a"), held);
}

TEST_F(GameKitHelperTest, SignInResendsTheCachesAndUncachesOnlyWhatWasSent) {
    service->failingIdentifiers = {"vtosx_meadow_a", "vtosx_meadow_b", "vtosx_rank_1", "vtosx_rank_2"};
    {
        auto helper = makeHelper();
        helper->submitScore(500, "vtosx_meadow_a");
        helper->submitScore(600, "vtosx_meadow_b");
        helper->reportAchievementWithIdentifer("vtosx_rank_1", 100, true);
        helper->reportAchievementWithIdentifer("vtosx_rank_2", 100, true);
        drainMainRunLoop();
        EXPECT_EQ(delegate.calls, (std::vector<std::string>{"score failed vtosx_meadow_a", "score failed vtosx_meadow_b",
                                                            "achievement failed vtosx_rank_1", "achievement failed vtosx_rank_2"}));
    }
    service->failingIdentifiers = {"vtosx_meadow_b", "vtosx_rank_2"};
    service->reportedScores.clear();
    service->reportedAchievements.clear();
    auto helper = makeHelper();
    EXPECT_EQ(service->reportedScores.size(), 2u);
    EXPECT_EQ(service->reportedAchievements.size(), 2u);
    EXPECT_EQ(cachedValues(*helper), (std::map<std::string, int64_t>{{"vtosx_meadow_b", 600}}));
    ASSERT_EQ(helper->cachedAchievements().size(), 1u);
    EXPECT_EQ(helper->cachedAchievements().begin()->first, "vtosx_rank_2");
    // What is on disk says the same.
    GameKitHelper restarted(service, folder.path());
    EXPECT_EQ(cachedValues(restarted), cachedValues(*helper));
    EXPECT_EQ(restarted.cachedAchievements().size(), 1u);
}

TEST_F(GameKitHelperTest, ANewerFailureCachedDuringAResendIsKept) {
    service->failingIdentifiers = {"vtosx_meadow_a"};
    {
        auto first = makeHelper();
        first->submitScore(500, "vtosx_meadow_a");
        drainMainRunLoop();
    }
    service->failingIdentifiers.clear();
    auto helper = makeHelper(false);
    service->holdCompletions = true;
    helper->authenticateLocalPlayer();
    service->releaseHeld();
    drainMainRunLoop();  // signed in; the resend of 500 is held
    ASSERT_EQ(service->heldCount(), 2u);  // the resend and the achievements load
    service->holdCompletions = false;
    service->failingIdentifiers = {"vtosx_meadow_a"};
    helper->submitScore(800, "vtosx_meadow_a");
    drainMainRunLoop();
    service->releaseHeld();  // now the resend of 500 completes without error
    drainMainRunLoop();
    EXPECT_EQ(cachedValues(*helper), (std::map<std::string, int64_t>{{"vtosx_meadow_a", 800}}));
}

TEST_F(GameKitHelperTest, AchievementsAreReportedOnlyAboveTheirPercentage) {
    auto loaded = makeRef<GameServiceAchievement>("vtosx_rank_1");
    loaded->setPercentComplete(100);
    service->achievementsToLoad = {loaded};
    auto helper = makeHelper();
    ASSERT_EQ(helper->achievements().size(), 1u);
    struct Case {
        const char* identifier;
        float percent;
        bool sent;
    };
    const Case cases[] = {{"vtosx_rank_1", 100, false}, {"vtosx_rank_1", 0, false}, {"vtosx_rank_2", 0, false},
                          {"vtosx_rank_2", 40, true},   {"vtosx_rank_2", 40, false}, {"vtosx_rank_2", 40.5f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.identifier << " at " << c.percent);
        service->reportedAchievements.clear();
        delegate.calls.clear();
        helper->reportAchievementWithIdentifer(c.identifier, c.percent, true);
        drainMainRunLoop();
        EXPECT_EQ(service->reportedAchievements.size(), c.sent ? 1u : 0u);
        EXPECT_EQ(delegate.calls.size(), c.sent ? 1u : 0u);
    }
}

TEST_F(GameKitHelperTest, ResetForgetsTheAchievementsOnDiskToo) {
    service->failingIdentifiers = {"vtosx_rank_3"};
    auto helper = makeHelper();
    helper->reportAchievementWithIdentifer("vtosx_rank_3", 100, false);
    drainMainRunLoop();
    ASSERT_EQ(helper->cachedAchievements().size(), 1u);
    helper->resetAchievements();
    EXPECT_TRUE(helper->achievements().empty());
    drainMainRunLoop();
    EXPECT_EQ(delegate.calls.back(), "reset");
    EXPECT_TRUE(GameKitHelper(service, folder.path()).cachedAchievements().empty());
}

TEST_F(GameKitHelperTest, TheViewCountsAsOpenOnlyOnceShown) {
    FakePresenter presenter;
    auto helper = makeHelper();

    // No presenter, then no window: nothing opens and nothing is told.
    helper->showGameCenter();
    drainMainRunLoop();
    helper->setViewPresenter(&presenter);
    presenter.hasWindow = false;
    helper->showAchievements();
    drainMainRunLoop();
    EXPECT_FALSE(helper->isGameCenterViewOpen());
    EXPECT_TRUE(delegate.calls.empty());

    // Asked for but not yet shown: a second request is refused, and it opens once.
    presenter.hasWindow = true;
    helper->showLeaderboard();
    helper->showAchievements();
    EXPECT_FALSE(helper->isGameCenterViewOpen());
    drainMainRunLoop();
    EXPECT_TRUE(helper->isGameCenterViewOpen());
    EXPECT_EQ(presenter.shown, std::vector<int>{0});
    helper->showGameCenter();  // open: refused
    drainMainRunLoop();
    EXPECT_EQ(presenter.shown.size(), 1u);

    helper->gameCenterViewControllerDidFinish();
    helper->gameCenterViewControllerDidFinish();
    EXPECT_FALSE(helper->isGameCenterViewOpen());
    EXPECT_EQ(presenter.dismissed, 1);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"presented 0", "dismissed"}));

    // Closed before its pass: never shown.
    helper->showGameCenter();
    helper->closeGameCenter();
    drainMainRunLoop();
    EXPECT_EQ(presenter.shown.size(), 1u);
    helper->showGameCenter();
    drainMainRunLoop();
    helper->closeGameCenter();
    EXPECT_EQ(presenter.shown, (std::vector<int>{0, -1}));
    EXPECT_EQ(delegate.calls.back(), "dismissed");
}

TEST_F(GameKitHelperTest, EachFinishingCallDismissesTheOpenViewOnceAndNamesItsView) {
    FakePresenter presenter;
    auto helper = makeHelper();
    helper->setViewPresenter(&presenter);
    const struct {
        void (GameKitHelper::*finish)();
        int viewState;
        const char* told;
    } rows[] = {
        {&GameKitHelper::gameCenterViewControllerDidFinish, -1, "dismissed"},
        {&GameKitHelper::leaderboardViewControllerDidFinish, 0, "leaderboards dismissed"},
        {&GameKitHelper::achievementViewControllerDidFinish, 1, "achievements dismissed"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.told);
        presenter.dismissed = 0;
        delegate.calls.clear();
        helper->showGameCenter(row.viewState);
        drainMainRunLoop();
        ((*helper).*row.finish)();
        ((*helper).*row.finish)();  // nothing open any more
        EXPECT_FALSE(helper->isGameCenterViewOpen());
        EXPECT_EQ(presenter.dismissed, 1);
        EXPECT_EQ(delegate.calls, (std::vector<std::string>{"presented " + std::to_string(row.viewState), row.told}));
    }
}

TEST_F(GameKitHelperTest, UnreadableCachesReadEmptyAndAreKeptAside) {
    Value wrongEntry = Value::dictionary();
    wrongEntry.set("vtosx_meadow_a", GameServiceScore("vtosx_meadow_b", 5, 0, "p").propertyList());  // filed under another id
    Value badValue = Value::dictionary();
    Value entry = GameServiceScore("vtosx_meadow_a", 5, 0, "p").propertyList();
    entry.set("value", "five");
    badValue.set("vtosx_meadow_a", entry);
    for (const std::string& bytes : {std::string("\xff\xfe garbage"), Value::array().toXML(), wrongEntry.toXML(), badValue.toXML()}) {
        TemporaryFolder caches;
        caches.write(GameKitHelper::kCachedScoresFileName, bytes);
        caches.write(GameKitHelper::kCachedAchievementsFileName, bytes);
        LogCapture log;
        GameKitHelper helper(service, caches.path());
        EXPECT_TRUE(helper.cachedScores().empty() && helper.cachedAchievements().empty());
        EXPECT_EQ(log.lines().size(), 2u);
        const auto aside = filesKeptAside(caches.path());
        ASSERT_EQ(aside.size(), 2u);
        for (const std::string& path : aside) EXPECT_EQ(readFileBytes(path), bytes);
    }
}

TEST_F(GameKitHelperTest, AnUnwritableLocalStoreFailsTheReportSoTheScoreIsCached) {
    auto local = LocalGameService::create(folder.path());
    GameKitHelper helper(local, folder.path());
    helper.setDelegate(&delegate);
    helper.authenticateLocalPlayer();
    drainMainRunLoop();
    ASSERT_TRUE(helper.isLocalPlayerAuthenticated());
    EXPECT_EQ(delegate.calls.front(), "authentication");
    std::filesystem::create_directories(local->storePath() + "/inside");
    LogCapture log;
    helper.submitScore(1234, "vtosx_meadow_a");
    drainMainRunLoop();
    EXPECT_EQ(delegate.calls.back(), "score failed vtosx_meadow_a");
    EXPECT_EQ(helper.lastError()->code(), GameService::kStoreNotWritable);
    EXPECT_EQ(cachedValues(GameKitHelper(local, folder.path())), (std::map<std::string, int64_t>{{"vtosx_meadow_a", 1234}}));
}
