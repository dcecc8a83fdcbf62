#include "game/core/Rank.h"

#include <algorithm>

#include "shell/ApplicationPreferences.h"
#include "shell/GameKitHelper.h"
#include "game/core/Levels.h"
#include "game/core/Stats.h"
#include "platform/foundation/StringUtils.h"

namespace {
constexpr const char* kRankKey = "rank";
// Lowest fill of ranks 10 down to 1; single precision, tested from the top.
constexpr float kRankThresholds[Rank::kMaxRank] = {0.9999999f, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f, 0.2f, 0.1f};
constexpr const char* kRankNames[Rank::kMaxRank + 1] = {"New Bee", "Flight Risk", "Bumbler", "Wanna Bee",
                                                        "Worker", "Wingman", "Navigator", "Honey Baron",
                                                        "Maverick", "Ace", "Vantrel"};
}  // namespace

Rank* Rank::sharedInstance() {
    // Results go to the game service only while the player's preference allows it.
    static Rank rank(*Levels::sharedInstance(), *Stats::sharedInstance(), GameKitHelper::sharedInstance(), [] { return ApplicationPreferences::sharedInstance()->useGameCenter(); });
    return &rank;
}

Rank::Rank(Levels& levels, Stats& stats, GameKitHelper* gameService, std::function<bool()> useGameService)
    : levels_(levels), stats_(stats), gameService_(gameService), useGameService_(std::move(useGameService)) {}

int Rank::getRankForPerc(float fill) {
    for (int i = 0; i < kMaxRank; ++i) {
        if (fill >= kRankThresholds[i]) return kMaxRank - i;
    }
    return 0;
}

std::string Rank::getRankDescription(int rank) {
    return rank >= 0 && rank <= kMaxRank ? kRankNames[rank] : kRankNames[0];
}

std::string Rank::getRankNiceDescription(int rank) {
    return stringWithFormat(rank == 9 ? "an %s" : "a %s", getRankDescription(rank).c_str());
}

std::string Rank::achievementIdForRank(int rank) {
    return stringWithFormat("%s_rank_%i", GameKitHelper::kIdentifierPrefix, rank);
}

int Rank::getRankForGlobalFillPerc() const {
    return getRankForPerc(levels_.getGlobalFillPerc());
}

int Rank::getSavedRank() const {
    return std::clamp(stats_.getStatInt(kRankKey), 0, kMaxRank);
}

int Rank::setSavedRank(int rank) {
    rank = std::clamp(rank, 0, kMaxRank);
    const int saved = getSavedRank();
    stats_.setStatInt(kRankKey, rank);
    if (rank != saved) stats_.saveStats();
    updateGameCenter();
    return rank > saved ? 1 : rank < saved ? -1 : 0;
}

void Rank::updateGameCenter() {
    if (!gameService_ || !useGameService_ || !useGameService_() || !gameService_->isLocalPlayerAuthenticated()) return;
    const int saved = getSavedRank();
    const auto& loaded = gameService_->achievements();
    const auto loadedPercent = [&](int rank) {
        const auto found = loaded.find(achievementIdForRank(rank));
        return found == loaded.end() ? -1.0 : found->second->percentComplete();
    };
    for (int rank = 1; rank <= saved; ++rank) {
        if (loadedPercent(rank) < 100) gameService_->reportAchievementWithIdentifer(achievementIdForRank(rank), 100, true);
    }
    for (int rank = saved + 1; rank <= kMaxRank; ++rank) {
        if (loadedPercent(rank) > 0) gameService_->reportAchievementWithIdentifer(achievementIdForRank(rank), 0, true);
    }
}
