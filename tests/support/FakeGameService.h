#pragma once

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/gameservice/GameService.h"

// A game service for tests: it records what is sent to it, fails what it is told to fail, and
// completes every request in a later pass of its run loop, or holds the completions until
// releaseHeld() when holdCompletions is set.
class FakeGameService : public GameService {
public:
    explicit FakeGameService(RunLoop& loop = RunLoop::main()) : loop_(loop) {}

    // What the test sets.
    bool available = true;
    bool authenticationSucceeds = true;
    bool holdCompletions = false;
    std::set<std::string> failingIdentifiers;  // leaderboards and achievements whose reports fail
    std::vector<RefPtr<GameServiceAchievement>> achievementsToLoad;
    std::vector<RefPtr<GameServiceScore>> bestScoresToLoad;
    RefPtr<Error> loadError;  // what loads of scores and achievements fail with, when set

    // What the service saw.
    std::vector<std::pair<std::string, int64_t>> reportedScores;
    std::vector<std::pair<std::string, double>> reportedAchievements;
    int authentications = 0;
    int resets = 0;

    bool isAvailable() const override { return available; }
    bool isAuthenticated() const override { return authenticated_; }
    std::string playerID() const override { return authenticated_ ? "fake:1" : ""; }

    void authenticate(Completion completion) override {
        ++authentications;
        complete([this, completion] {
            const bool was = authenticated_;
            authenticated_ = available && authenticationSucceeds;
            completion(authenticated_ ? nullptr : error(kNotAuthenticated, "refused"));
            if (was != authenticated_) NotificationCenter::defaultCenter().postNotification(kAuthenticationDidChangeNotification, this);
        });
    }
    void reportScore(RefPtr<GameServiceScore> score, Completion completion) override {
        reportedScores.emplace_back(score->category(), score->value());
        const bool fails = failingIdentifiers.count(score->category()) > 0;
        complete([completion, fails] { completion(fails ? error(kStoreNotWritable, "refused") : nullptr); });
    }
    void loadScores(GameServiceScoreRequest, ScoresCompletion completion) override {
        complete([completion] { completion({}, nullptr); });
    }
    void reportAchievement(RefPtr<GameServiceAchievement> achievement, Completion completion) override {
        reportedAchievements.emplace_back(achievement->identifier(), achievement->percentComplete());
        const bool fails = failingIdentifiers.count(achievement->identifier()) > 0;
        complete([completion, fails] { completion(fails ? error(kStoreNotWritable, "refused") : nullptr); });
    }
    void loadBestScores(ScoresCompletion completion) override {
        complete([this, completion] { loadError ? completion({}, loadError) : completion(bestScoresToLoad, nullptr); });
    }
    void loadAchievements(AchievementsCompletion completion) override {
        complete([this, completion] { loadError ? completion({}, loadError) : completion(achievementsToLoad, nullptr); });
    }
    void resetAchievements(Completion completion) override {
        ++resets;
        complete([completion] { completion(nullptr); });
    }

    // Posts the held completions, in the order they were made.
    void releaseHeld() {
        for (auto& work : held_) post(std::move(work));
        held_.clear();
    }
    size_t heldCount() const { return held_.size(); }

private:
    // Held work keeps no reference to the service, so a test that never releases it leaks nothing.
    void complete(std::function<void()> work) {
        if (holdCompletions) {
            held_.push_back(std::move(work));
        } else {
            post(std::move(work));
        }
    }
    void post(std::function<void()> work) {
        loop_.performBlock([self = RefPtr<FakeGameService>(this), work = std::move(work)] { work(); });
    }

    RunLoop& loop_;
    bool authenticated_ = false;
    std::vector<std::function<void()>> held_;
};
