#pragma once

#include <cstdint>
#include <string>

// The game's coarse state and the hand-over between the menu, the transition scene and the play
// scene: which kind of scene runs, which level is to be played next, which was played last and
// what it achieved. Level ids are empty when there is none.
//
// Engine thread only; only making the shared instance is locked.
class VantrelGlobal {
public:
    // Scene kinds of gameState().
    static constexpr int32_t kStateStart = 0;
    static constexpr int32_t kStateMenu = 1;
    static constexpr int32_t kStateTransition = 2;
    static constexpr int32_t kStatePlay = 3;

    // The one instance, made on first use and kept for the whole run.
    static VantrelGlobal* sharedInstance();

    VantrelGlobal() = default;
    VantrelGlobal(const VantrelGlobal&) = delete;
    VantrelGlobal& operator=(const VantrelGlobal&) = delete;

    // A level is chosen: it becomes the next level, and the last level and its results are forgotten.
    void startGame(std::string levelId);

    int32_t gameState() const { return gameState_; }
    void setGameState(int32_t state) { gameState_ = state; }
    const std::string& nextLevelId() const { return nextLevelId_; }
    void setNextLevelId(std::string levelId) { nextLevelId_ = std::move(levelId); }
    const std::string& lastLevelId() const { return lastLevelId_; }
    void setLastLevelId(std::string levelId) { lastLevelId_ = std::move(levelId); }
    bool lastLevelHasNewHighScore() const { return lastLevelHasNewHighScore_; }
    void setLastLevelHasNewHighScore(bool flag) { lastLevelHasNewHighScore_ = flag; }
    bool lastLevelHasNewRank() const { return lastLevelHasNewRank_; }
    void setLastLevelHasNewRank(bool flag) { lastLevelHasNewRank_ = flag; }
    bool lastLevelUnlockedNewLevel() const { return lastLevelUnlockedNewLevel_; }
    void setLastLevelUnlockedNewLevel(bool flag) { lastLevelUnlockedNewLevel_ = flag; }
    const std::string& unlockedLevelId() const { return unlockedLevelId_; }
    void setUnlockedLevelId(std::string levelId) { unlockedLevelId_ = std::move(levelId); }

private:
    int32_t gameState_ = kStateStart;  // kState*; the menu, transition and play scenes set theirs
    std::string nextLevelId_;          // loaded by the next play scene, which then clears it
    std::string lastLevelId_;          // the level played last
    bool lastLevelHasNewHighScore_ = false;
    bool lastLevelHasNewRank_ = false;
    bool lastLevelUnlockedNewLevel_ = false;
    std::string unlockedLevelId_;  // the level the last one unlocked
};
