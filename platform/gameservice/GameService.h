#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/Error.h"
#include "platform/foundation/Object.h"
#include "platform/gameservice/GameServiceAchievement.h"
#include "platform/gameservice/GameServiceScore.h"

// Which scores of a leaderboard a load asks for.
struct GameServiceScoreRequest {
    enum class TimeScope { Today, Week, AllTime };

    std::string category;
    // Ranks, 1-based: the scores ranked first .. first + length - 1.
    int64_t first = 1;
    int64_t length = 1;
    TimeScope timeScope = TimeScope::AllTime;
    // Only the local player's score, whatever the range.
    bool localPlayerOnly = false;
};

// The platform's game service: a local player who signs in, leaderboards and achievements.
//
// Requests are made on the engine thread. Every completion runs later, in a pass of the service's
// run loop (the main loop in the program) after the one that made the request, never inline, and
// carries the error of a failed request or null. A service that is not available fails every
// request. Services are shared by reference; a request keeps its service alive until it completes.
class GameService : public Object {
public:
    // Posted on the default notification centre, with the service as its object, when the local
    // player's authentication changes.
    static constexpr const char* kAuthenticationDidChangeNotification = "GameServiceAuthenticationDidChange";
    // Domain of the service's own errors, with these codes.
    static constexpr const char* kErrorDomain = "GameServiceErrorDomain";
    enum ErrorCode : int64_t { kNotAvailable = 1, kNotAuthenticated = 2, kStoreNotWritable = 3 };

    using Completion = std::function<void(RefPtr<Error>)>;
    using ScoresCompletion = std::function<void(std::vector<RefPtr<GameServiceScore>>, RefPtr<Error>)>;
    using AchievementsCompletion = std::function<void(std::vector<RefPtr<GameServiceAchievement>>, RefPtr<Error>)>;

    // False when the service cannot work at all on this computer.
    virtual bool isAvailable() const = 0;
    virtual bool isAuthenticated() const = 0;
    // The local player's identifier; empty until authenticated.
    virtual std::string playerID() const = 0;

    virtual void authenticate(Completion completion) = 0;
    virtual void reportScore(RefPtr<GameServiceScore> score, Completion completion) = 0;
    virtual void loadScores(GameServiceScoreRequest request, ScoresCompletion completion) = 0;
    // The local player's best score on every leaderboard that has one, in identifier order.
    virtual void loadBestScores(ScoresCompletion completion) = 0;
    // Reports the achievement's percentage; the service keeps the highest one reported.
    virtual void reportAchievement(RefPtr<GameServiceAchievement> achievement, Completion completion) = 0;
    virtual void loadAchievements(AchievementsCompletion completion) = 0;
    virtual void resetAchievements(Completion completion) = 0;

    // The time now in seconds since 2001-01-01 UTC, as scores and achievements date themselves.
    static double currentDate();
    // One of the service's own errors.
    static RefPtr<Error> error(ErrorCode code, std::string description);
};
