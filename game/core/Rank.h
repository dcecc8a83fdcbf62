#pragma once

#include <functional>
#include <string>

class GameKitHelper;
class Levels;
class Stats;

// The player's rank, 0 to 10, from the global fill of all hives; the last rank reached is kept in
// the statistics ("rank") and mirrored to the game service as the achievements "vtosx_rank_1" to
// "vtosx_rank_10". Used on the engine thread only.
class Rank {
public:
    static constexpr int kMaxRank = 10;

    // The program's rank over Levels::sharedInstance() and Stats::sharedInstance().
    static Rank* sharedInstance();

    // Reports go through `gameService` while `useGameService` answers true.
    Rank(Levels& levels, Stats& stats, GameKitHelper* gameService, std::function<bool()> useGameService);
    Rank(const Rank&) = delete;
    Rank& operator=(const Rank&) = delete;

    // The rank a fill fraction reaches: 10 from 0.9999999, 9 from 0.9, ... 1 from 0.1, else 0.
    static int getRankForPerc(float fill);
    // "Vantrel", "Ace", ... "New Bee" (also for numbers outside 0..10).
    static std::string getRankDescription(int rank);
    // "an Ace" for rank 9, "a <name>" for the others.
    static std::string getRankNiceDescription(int rank);
    static std::string achievementIdForRank(int rank);

    int getRankForGlobalFillPerc() const;
    int getCurrentRank() const { return getRankForGlobalFillPerc(); }
    std::string getCurrentRankDescription() const { return getRankDescription(getCurrentRank()); }
    std::string getCurrentRankNiceDescription() const { return getRankNiceDescription(getCurrentRank()); }

    // The saved rank, clamped to 0..10.
    int getSavedRank() const;
    // Stores the rank (clamped to 0..10), saving the statistics only when it changed, then
    // updates the achievements. Returns 1 when it rose, -1 when it fell, 0 when equal.
    int setSavedRank(int rank);
    int saveCurrentRank() { return setSavedRank(getCurrentRank()); }
    // Reports 100 % for every rank up to the saved one not already loaded at 100 %, and 0 % for
    // every higher rank loaded above 0 % (which the service never lowers).
    void updateGameCenter();

private:
    Levels& levels_;
    Stats& stats_;
    GameKitHelper* const gameService_;  // not retained; outlives the rank
    const std::function<bool()> useGameService_;
};
