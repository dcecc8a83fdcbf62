#pragma once

#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Value.h"
#include "platform/gameservice/GameService.h"

// The game service kept on this computer: the user running the program is the player, and the
// store "GameService.plist" in the service's folder keeps, per leaderboard, the best value with the
// date it was reached and, per achievement, the highest percentage reported with its date:
//
//     { "leaderboards": { id: { "value": integer, "date": date } },
//       "achievements": { id: { "percent": real, "date": date } } }
//
// Authentication succeeds in the next pass of the run loop when the folder is writable and the
// store can be read (a broken store is kept aside and the service starts empty); it then posts
// kAuthenticationDidChangeNotification. Each report or reset writes the whole store atomically and
// completes with a kStoreNotWritable error when that fails, leaving the store as it was. Loads
// answer from the store. There is one player, so a leaderboard ranks at most one score.
class LocalGameService : public GameService {
public:
    static constexpr const char* kStoreFileName = "GameService.plist";

    // A service whose store lives in `folder` (made when missing) and whose completions run on
    // `loop`. Not available when the folder cannot be made.
    static RefPtr<LocalGameService> create(const std::string& folder, RunLoop& loop = RunLoop::main());

    bool isAvailable() const override { return available_; }
    bool isAuthenticated() const override { return authenticated_; }
    std::string playerID() const override { return authenticated_ ? playerID_ : std::string(); }

    void authenticate(Completion completion) override;
    void reportScore(RefPtr<GameServiceScore> score, Completion completion) override;
    void loadScores(GameServiceScoreRequest request, ScoresCompletion completion) override;
    void loadBestScores(ScoresCompletion completion) override;
    void reportAchievement(RefPtr<GameServiceAchievement> achievement, Completion completion) override;
    void loadAchievements(AchievementsCompletion completion) override;
    void resetAchievements(Completion completion) override;

    const std::string& storePath() const { return storePath_; }

private:
    LocalGameService(const std::string& folder, RunLoop& loop);

    // Runs `work` in a later pass of the loop, keeping the service alive until then.
    void later(std::function<void()> work);
    // The error a request fails with before it reaches the store, or null.
    RefPtr<Error> requestError() const;
    // Reads the store from disk; false when the folder cannot be written.
    bool openStore();
    // Writes `store` and keeps it on success; the error on failure.
    RefPtr<Error> replaceStore(Value store);

    const std::string folder_;
    const std::string storePath_;
    RunLoop& loop_;
    const bool available_;
    bool authenticated_ = false;
    const std::string playerID_;  // "local:<uid>"
    Value store_;                 // as last read or written; valid once authenticated
};
