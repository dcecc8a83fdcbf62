#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/foundation/Object.h"
#include "platform/gameservice/GameServiceAchievement.h"
#include "platform/gameservice/GameServiceScore.h"

// What GameKitHelper tells its delegate (the menu or the play scene), always on the engine thread.
// Every callback does nothing unless the delegate overrides it.
class GameKitHelperProtocol {
public:
    using Achievements = std::map<std::string, RefPtr<GameServiceAchievement>>;

    virtual void onLocalPlayerAuthenticationChanged() {}
    // The game-service view is on screen; `viewState` is -1 (default), 0 (leaderboards) or 1
    // (achievements).
    virtual void onGameCenterViewPresented(int /*viewState*/) {}
    virtual void onLeaderboardViewPresented(int /*viewState*/) {}
    virtual void onAchievementsViewPresented(int /*viewState*/) {}
    virtual void onGameCenterViewDismissed() {}
    virtual void onLeaderboardViewDismissed() {}
    virtual void onAchievementsViewDismissed() {}
    virtual void onScoreSubmitted(bool /*success*/, const std::string& /*category*/) {}
    // `score` is null unless exactly one score came back.
    virtual void onScoreReceived(bool /*success*/, const std::string& /*category*/, RefPtr<GameServiceScore> /*score*/) {}
    virtual void onScoresReceived(bool /*success*/, const std::vector<RefPtr<GameServiceScore>>& /*scores*/) {}
    virtual void onAchievementReported(bool /*success*/, RefPtr<GameServiceAchievement> /*achievement*/) {}
    virtual void onAchievementsLoaded(bool /*success*/, const Achievements& /*achievements*/) {}
    virtual void onResetAchievements(bool /*success*/) {}

protected:
    ~GameKitHelperProtocol() = default;
};
