#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shell/GameKitHelperProtocol.h"
#include "shell/GameKitViewPresenter.h"
#include "platform/foundation/Error.h"
#include "platform/gameservice/GameService.h"

// The game's one contact with the game service: signs the local player in, submits scores, reports
// achievements, shows the service's view, and keeps the results whose sending failed in two cache
// files beside the saved scores, sending them again after the next successful sign-in.
//
// Every request needs an available service and, except authenticateLocalPlayer, a signed-in
// player; otherwise it does nothing and reports nothing. Results go to the delegate from the
// service's completions, on the engine thread, and each completion first keeps its error as
// lastError().
//
// Caches ("CachedScores.archive", "CachedAchievements.archive") are property-list dictionaries,
// identifier -> GameServiceScore / GameServiceAchievement property list, written atomically at every
// change. A cache holds at most one score per leaderboard, the higher value (a tie keeps the held
// one): the game submits only a level's best or the total of bests, so the higher is the newer. An
// unreadable cache file is kept aside and the cache starts empty.
class GameKitHelper {
public:
    static constexpr const char* kCachedScoresFileName = "CachedScores.archive";
    static constexpr const char* kCachedAchievementsFileName = "CachedAchievements.archive";
    // Leaderboard and achievement identifiers: "<prefix>_<level id>", "<prefix>_global_honey",
    // "<prefix>_rank_<1..10>".
    static constexpr const char* kIdentifierPrefix = "vtosx";

    // The program's helper: the local service, with its store and the caches in the application
    // data folder, and its view shown by a GameKitOverlay. Made on first use, from any thread;
    // lives until the process ends.
    static GameKitHelper* sharedInstance();

    // A helper over `service` keeping its caches in `cacheFolder` (tests make their own; the
    // program uses sharedInstance()). Reads both caches.
    GameKitHelper(RefPtr<GameService> service, std::string cacheFolder);
    ~GameKitHelper();
    GameKitHelper(const GameKitHelper&) = delete;
    GameKitHelper& operator=(const GameKitHelper&) = delete;

    bool isGameCenterAvailable() const { return service_->isAvailable(); }
    // Null after a request that succeeded.
    RefPtr<Error> lastError() const { return lastError_; }
    GameKitHelperProtocol* delegate() const { return delegate_; }
    // A delegate that is a reference-counted object is retained until replaced.
    void setDelegate(GameKitHelperProtocol* delegate);
    bool isLocalPlayerAuthenticated() const;

    // Signs in. On success sends the cached results again and loads the achievements; on failure
    // forgets the loaded achievements.
    void authenticateLocalPlayer();

    // Reports a score; a failure caches it. The delegate gets onScoreSubmitted.
    void submitScore(int64_t value, const std::string& category);
    // The local player's score on a leaderboard (onScoreReceived).
    void retrieveScore() { retrieveScoreForCategory({}); }
    void retrieveScoreForCategory(const std::string& category);
    // A range of a leaderboard (onScoresReceived). The players and the player scope do not change
    // what a service with one player answers.
    void retrieveScoresForPlayers(const std::vector<std::string>& playerIDs, const std::string& category,
                                  int64_t first, int64_t length, int playerScope,
                                  GameServiceScoreRequest::TimeScope timeScope);

    // Achievements loaded from the service or made here, by identifier.
    const GameKitHelperProtocol::Achievements& achievements() const { return achievements_; }
    void loadAchievements();
    // The loaded achievement, else a new one at 0 % added to achievements(); null when the service
    // is unavailable or the player is not signed in.
    RefPtr<GameServiceAchievement> getAchievementByIdentifier(const std::string& identifier);
    // Reports `percent` (0..100) only when it is above the achievement's; a failure caches it.
    // The delegate gets onAchievementReported.
    void reportAchievementWithIdentifer(const std::string& identifier, float percent) {
        reportAchievementWithIdentifer(identifier, percent, false);
    }
    void reportAchievementWithIdentifer(const std::string& identifier, float percent, bool showNotification);
    // Forgets the loaded and cached achievements (writing the emptied cache) and asks the service
    // to reset them (onResetAchievements).
    void resetAchievements();

    // The game-service view. showGameCenter asks for it at a view state (-1 default, 0
    // leaderboards, 1 achievements); it is presented in the next pass of the main loop, and only
    // once it is on screen does it count as open and the delegate get onGameCenterViewPresented.
    // Without a presenter, or when the presenter has no window, nothing is shown. While a view is
    // asked for or open, further requests do nothing.
    void setViewPresenter(GameKitViewPresenter* presenter) { presenter_ = presenter; }  // not retained
    GameKitViewPresenter* viewPresenter() const { return presenter_; }
    void showGameCenter() { showGameCenter(-1); }
    void showGameCenter(int viewState);
    void showLeaderboard() { showGameCenter(0); }
    void showLeaderboardForCategory(const std::string& /*category*/) { showGameCenter(0); }
    void showAchievements() { showGameCenter(1); }
    // Finishes an open view, or drops one asked for but not yet shown.
    void closeGameCenter();
    // The presenter's call when the player is done: dismisses the view and tells the delegate
    // (onGameCenterViewDismissed). The other two do the same for a view presented as the
    // leaderboards or the achievements alone, and tell onLeaderboardViewDismissed and
    // onAchievementsViewDismissed. Each does nothing while no view is open.
    void gameCenterViewControllerDidFinish() { finishView(&GameKitHelperProtocol::onGameCenterViewDismissed); }
    void leaderboardViewControllerDidFinish() { finishView(&GameKitHelperProtocol::onLeaderboardViewDismissed); }
    void achievementViewControllerDidFinish() { finishView(&GameKitHelperProtocol::onAchievementsViewDismissed); }
    bool isGameCenterViewOpen() const { return viewOpen_; }

    // The unsent results, by leaderboard or achievement identifier.
    const std::map<std::string, RefPtr<GameServiceScore>>& cachedScores() const { return cachedScores_; }
    const std::map<std::string, RefPtr<GameServiceAchievement>>& cachedAchievements() const { return cachedAchievements_; }

private:
    // Wraps a completion so that it does nothing once the helper is gone.
    template <typename Function>
    auto whileAlive(Function function);
    // Calls the delegate, keeping it alive through the call; nothing without one.
    template <typename Call>
    void tellDelegate(Call call);

    void initCachedScoresAndAchievements();
    void cacheScore(RefPtr<GameServiceScore> score);
    void uncacheScore(const RefPtr<GameServiceScore>& sent);
    void cacheAchievement(RefPtr<GameServiceAchievement> achievement);
    void uncacheAchievement(const RefPtr<GameServiceAchievement>& sent);
    void saveCachedScores();
    void saveCachedAchievements();
    void reportCachedScoresAndAchievements();
    void presentView(int viewState);
    // Dismisses the open view and tells the delegate `dismissed`.
    void finishView(void (GameKitHelperProtocol::*dismissed)());

    const RefPtr<GameService> service_;
    const std::string scoresPath_;
    const std::string achievementsPath_;
    std::shared_ptr<GameKitHelper*> alive_;  // completions hold it weakly

    RefPtr<Error> lastError_;
    GameKitHelperProtocol* delegate_ = nullptr;
    RefPtr<const Object> delegateOwner_;  // the delegate, when it is reference counted
    GameKitHelperProtocol::Achievements achievements_;
    std::map<std::string, RefPtr<GameServiceScore>> cachedScores_;
    // Each cached achievement is a copy made when it was reported, never changed afterwards.
    std::map<std::string, RefPtr<GameServiceAchievement>> cachedAchievements_;

    GameKitViewPresenter* presenter_ = nullptr;
    uint64_t viewRequest_ = 0;  // number of the request waiting for its pass; 0 when none
    uint64_t requestsMade_ = 0;
    bool viewOpen_ = false;
};
