#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "platform/foundation/Value.h"

class GameKitHelper;

// The catalogue of level groups and levels, read from "levels.plist", with the player's best score
// per level, kept in "Scores.archive" in the application data folder.
//
// "levels.plist": { "level_group_order": [group id], "menu_data": { group id: { "name",
// "available", menu keys } }, "levels": { group id: [ { "id", "available", "reference_score",
// "unlock_next_level_score", "use_reference_score", "submit_to_game_center", menu keys } ] } }.
// Level ids are unique over the catalogue; a level without a string id, or with an id seen before,
// is left out with a log line. A missing or unreadable file gives an empty catalogue.
//
// "Scores.archive": { level id: best score }, every catalogue id present (0 when never scored).
// A score that is not a number, or is negative, reads 0; an unreadable file is kept aside and
// the scores start at 0. Used on the engine thread only.
class Levels {
public:
    static constexpr const char* kLevelsFileName = "levels.plist";
    static constexpr const char* kScoresFileName = "Scores.archive";

    // The program's catalogue: "levels.plist" from the resources, scores in the application data
    // folder, results to GameKitHelper::sharedInstance(). Made on first use, from any thread.
    static Levels* sharedInstance();

    // A catalogue read from `levelsPath`, keeping its scores in `dataFolder` (made when missing)
    // and submitting them through `gameService` while `useGameService` answers true.
    Levels(const std::string& levelsPath, std::string dataFolder, GameKitHelper* gameService,
           std::function<bool()> useGameService);
    Levels(const Levels&) = delete;
    Levels& operator=(const Levels&) = delete;
    // The diagnostic listing of groups, levels and scores prints nothing in this program, so there is
    // nothing to walk.
    void dumpInfo() const {}

    // Catalogue. Groups: array of group ids in menu order; menu data and level arrays by group id.
    const Value& levelGroupOrder() const { return levelGroupOrder_; }
    const Value& levelGroupMenuData() const { return levelGroupMenuData_; }
    const Value& levelGroups() const { return levelGroups_; }
    // Level id -> level dictionary; level id -> {"prev": level, "next": level} (each when present).
    const Value& levels() const { return levels_; }
    const Value& levelsNavigation() const { return levelsNavigation_; }
    int levelGroupCount() const { return levelGroupCount_; }
    int levelGroupAvailableCount() const { return levelGroupAvailableCount_; }
    int levelCount() const { return levelCount_; }

    const Value& getLevelGroupMenuData(const std::string& groupId) const { return levelGroupMenuData_[groupId]; }
    std::string getLevelGroupNameForLevelGroupId(const std::string& groupId) const;
    bool isLevelGroupAvailable(const std::string& groupId) const;
    // The first group in menu order holding the level; empty when none.
    std::string getLevelGroupIdForLevelId(const std::string& levelId) const;
    // The neighbouring level's id in the same group; empty at the ends or for an unknown id.
    std::string getNextLevelId(const std::string& levelId) const;
    std::string getPreviousLevelId(const std::string& levelId) const;

    bool isLevelAvailable(const std::string& levelId) const;
    bool shouldUseReferenceScoreForLevelId(const std::string& levelId) const;
    bool shouldSubmitToGameCenterForLevelId(const std::string& levelId) const;
    // 0 unless the level uses reference scores; with `force` the level's "reference_score" always.
    uint32_t getReferenceScoreForLevelId(const std::string& levelId, bool force = false) const;
    uint32_t getUnlockNextLevelScoreForLevelId(const std::string& levelId) const;
    // Available, and first in its group or the previous level's best reaches that level's
    // "unlock_next_level_score".
    bool isLevelAvailableAndUnLocked(const std::string& levelId) const;
    // The same with `previousLevelScore` standing for the previous level's best.
    bool willLevelBeAvailableAndUnLocked(const std::string& levelId, uint32_t previousLevelScore) const;

    // Scores.
    uint32_t getScoreForLevelId(const std::string& levelId) const;
    // True when `score` beats the stored best, which it then replaces and saves. Either way the
    // level's best goes to the game service.
    bool setScore(uint32_t score, const std::string& levelId);
    bool saveScores() const;
    // Deletes the file and starts again from zeros (written at once).
    void deleteScores();
    std::string scoresFilePath() const;
    const std::string& cacheDirectory() const { return dataFolder_; }

    // Best / reference clamped to 0..1; 0 when the level has no reference score.
    float getFillPercForLevelId(const std::string& levelId) const;
    // Sum of the bests of the levels that use reference scores (wrapping at 2^32).
    uint32_t getGlobalScore() const;
    // Over the levels that use reference scores: sum of min(best, reference) / sum of references;
    // 0 when there is no reference.
    float getGlobalFillPerc() const;

    // Game-service identifiers: "vtosx_<level id>" and "vtosx_global_honey".
    static std::string leaderboardIdForLevelId(const std::string& levelId);
    static std::string globalLeaderboardId();
    void submitScoreToGameCenter(const std::string& levelId) const;
    void submitGlobalScoreToGameCenter() const;

private:
    void readCatalogue(const std::string& levelsPath);
    void initScores();
    bool mayReport() const;
    // The previous level's best reaches its unlock score.
    bool unlocksNext(const Value& previousLevel, uint32_t previousScore) const;

    const std::string dataFolder_;
    GameKitHelper* const gameService_;  // not retained; outlives the catalogue
    const std::function<bool()> useGameService_;

    Value levelGroupOrder_ = Value::array();
    Value levelGroupMenuData_ = Value::dictionary();
    Value levelGroups_ = Value::dictionary();
    Value levels_ = Value::dictionary();
    Value levelsNavigation_ = Value::dictionary();
    int levelGroupCount_ = 0;
    int levelGroupAvailableCount_ = 0;
    int levelCount_ = 0;
    std::unordered_map<std::string, std::string> groupOfLevel_;  // level id -> first group in menu order holding it
    Value scores_ = Value::dictionary();  // level id -> best score, as saved
};
