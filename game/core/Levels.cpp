#include "game/core/Levels.h"

#include <algorithm>
#include <filesystem>

#include "shell/ApplicationPreferences.h"
#include "shell/GameKitHelper.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/ProgressValues.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/SavedFile.h"
#include "platform/foundation/StringUtils.h"

namespace {
constexpr const char* kGlobalHoney = "global_honey";

const Value& arrayOrEmpty(const Value& value) {
    static const Value empty = Value::array();
    return value.isArray() ? value : empty;
}
}  // namespace

Levels* Levels::sharedInstance() {
    // Results go to the game service only while the player's preference allows it.
    static Levels levels(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(kLevelsFileName), applicationDataFolder(),
                         GameKitHelper::sharedInstance(), [] { return ApplicationPreferences::sharedInstance()->useGameCenter(); });
    return &levels;
}

Levels::Levels(const std::string& levelsPath, std::string dataFolder, GameKitHelper* gameService,
               std::function<bool()> useGameService)
    : dataFolder_(std::move(dataFolder)), gameService_(gameService), useGameService_(std::move(useGameService)) {
    readCatalogue(levelsPath);
    initScores();
}

void Levels::readCatalogue(const std::string& levelsPath) {
    std::string error;
    const std::optional<Value> read = Value::fromFile(levelsPath, &error);
    if (!read || !read->isDictionary()) {
        logLine("Levels: cannot read %s (%s): no levels", levelsPath.c_str(), read ? "not a dictionary" : error.c_str());
        return;
    }
    if ((*read)["menu_data"].isDictionary()) levelGroupMenuData_ = (*read)["menu_data"];
    for (const Value& group : arrayOrEmpty((*read)["level_group_order"]).elements()) {
        if (!group.isString()) continue;
        levelGroupOrder_.append(group);
        if (isLevelGroupAvailable(group.stringValue())) ++levelGroupAvailableCount_;
    }
    levelGroupCount_ = static_cast<int>(levelGroupOrder_.count());

    for (const auto& [groupId, groupLevels] : (*read)["levels"].entries()) {
        Value kept = Value::array();
        for (const Value& level : arrayOrEmpty(groupLevels).elements()) {
            const Value& id = level["id"];
            if (!id.isString() || id.stringValue().empty() || !levels_[id.stringValue()].isNone()) {
                logLine("Levels: a level of group \"%s\" has no id, or one used before (\"%s\"): left out", groupId.c_str(),
                        id.stringValue().c_str());
                continue;
            }
            levels_.set(id.stringValue(), level);
            kept.append(level);
        }
        const auto& list = kept.elements();
        for (size_t i = 0; i < list.size(); ++i) {
            Value navigation = Value::dictionary();
            if (i > 0) navigation.set("prev", list[i - 1]);
            if (i + 1 < list.size()) navigation.set("next", list[i + 1]);
            levelsNavigation_.set(list[i]["id"].stringValue(), std::move(navigation));
        }
        levelCount_ += static_cast<int>(list.size());
        levelGroups_.set(groupId, std::move(kept));
    }
    for (const Value& group : levelGroupOrder_.elements()) {
        for (const Value& level : levelGroups_[group.stringValue()].elements()) {
            groupOfLevel_.try_emplace(level["id"].stringValue(), group.stringValue());
        }
    }
}

std::string Levels::getLevelGroupNameForLevelGroupId(const std::string& groupId) const {
    return levelGroupMenuData_[groupId]["name"].stringValue();
}

bool Levels::isLevelGroupAvailable(const std::string& groupId) const {
    return levelGroupMenuData_[groupId]["available"].boolValue();
}

std::string Levels::getLevelGroupIdForLevelId(const std::string& levelId) const {
    const auto found = groupOfLevel_.find(levelId);
    return found == groupOfLevel_.end() ? std::string() : found->second;
}

std::string Levels::getNextLevelId(const std::string& levelId) const {
    return levelsNavigation_[levelId]["next"]["id"].stringValue();
}

std::string Levels::getPreviousLevelId(const std::string& levelId) const {
    return levelsNavigation_[levelId]["prev"]["id"].stringValue();
}

bool Levels::isLevelAvailable(const std::string& levelId) const {
    if (levelId.empty()) return false;
    const Value& level = levels_[levelId];
    return !level.isNone() && isLevelGroupAvailable(getLevelGroupIdForLevelId(levelId)) && level["available"].boolValue();
}

bool Levels::shouldUseReferenceScoreForLevelId(const std::string& levelId) const {
    return isLevelAvailable(levelId) && levels_[levelId]["use_reference_score"].boolValue();
}

bool Levels::shouldSubmitToGameCenterForLevelId(const std::string& levelId) const {
    return isLevelAvailable(levelId) && levels_[levelId]["submit_to_game_center"].boolValue();
}

uint32_t Levels::getReferenceScoreForLevelId(const std::string& levelId, bool force) const {
    if (!force && !shouldUseReferenceScoreForLevelId(levelId)) return 0;
    return progressUnsigned(levels_[levelId]["reference_score"]);
}

uint32_t Levels::getUnlockNextLevelScoreForLevelId(const std::string& levelId) const {
    if (!shouldUseReferenceScoreForLevelId(levelId)) return 0;
    return progressUnsigned(levels_[levelId]["unlock_next_level_score"]);
}

bool Levels::unlocksNext(const Value& previousLevel, uint32_t previousScore) const {
    return previousScore >= progressUnsigned(previousLevel["unlock_next_level_score"]);
}

bool Levels::isLevelAvailableAndUnLocked(const std::string& levelId) const {
    if (!isLevelAvailable(levelId)) return false;
    const Value& previous = levelsNavigation_[levelId]["prev"];
    return previous.isNone() || unlocksNext(previous, getScoreForLevelId(previous["id"].stringValue()));
}

bool Levels::willLevelBeAvailableAndUnLocked(const std::string& levelId, uint32_t previousLevelScore) const {
    if (!isLevelAvailable(levelId)) return false;
    const Value& previous = levelsNavigation_[levelId]["prev"];
    return previous.isNone() || unlocksNext(previous, previousLevelScore);
}

void Levels::initScores() {
    createFolder(dataFolder_);
    const SavedDictionary saved = readSavedDictionary(scoresFilePath());
    scores_ = Value::dictionary();
    for (const auto& [levelId, score] : saved.dictionary.entries()) scores_.set(levelId, progressUnsigned(score));
    bool added = false;
    for (const auto& [levelId, level] : levels_.entries()) {
        if (!scores_[levelId].isNone()) continue;
        scores_.set(levelId, 0);
        added = true;
    }
    if (!saved.found || added) saveScores();
}

uint32_t Levels::getScoreForLevelId(const std::string& levelId) const {
    return progressUnsigned(scores_[levelId]);
}

bool Levels::setScore(uint32_t score, const std::string& levelId) {
    const bool better = score > getScoreForLevelId(levelId);
    if (better) {
        scores_.set(levelId, score);
        saveScores();
    }
    submitScoreToGameCenter(levelId);
    return better;
}

bool Levels::saveScores() const {
    return writeSavedDictionary(scoresFilePath(), scores_);
}

void Levels::deleteScores() {
    std::error_code ignored;
    std::filesystem::remove(scoresFilePath(), ignored);
    initScores();
}

std::string Levels::scoresFilePath() const {
    return stringByAppendingPathComponent(dataFolder_, kScoresFileName);
}

float Levels::getFillPercForLevelId(const std::string& levelId) const {
    const uint32_t reference = getReferenceScoreForLevelId(levelId);
    if (reference == 0) return 0;
    return std::min(1.0f, static_cast<float>(getScoreForLevelId(levelId)) / static_cast<float>(reference));
}

uint32_t Levels::getGlobalScore() const {
    uint32_t total = 0;
    for (const auto& [levelId, level] : levels_.entries()) {
        if (shouldUseReferenceScoreForLevelId(levelId)) total += getScoreForLevelId(levelId);
    }
    return total;
}

float Levels::getGlobalFillPerc() const {
    uint64_t filled = 0, references = 0;
    for (const auto& [levelId, level] : levels_.entries()) {
        if (!shouldUseReferenceScoreForLevelId(levelId)) continue;
        const uint32_t reference = getReferenceScoreForLevelId(levelId);
        filled += std::min(getScoreForLevelId(levelId), reference);
        references += reference;
    }
    return references == 0 ? 0.0f : static_cast<float>(filled) / static_cast<float>(references);
}

std::string Levels::leaderboardIdForLevelId(const std::string& levelId) {
    return stringWithFormat("%s_%s", GameKitHelper::kIdentifierPrefix, levelId.c_str());
}

std::string Levels::globalLeaderboardId() {
    return leaderboardIdForLevelId(kGlobalHoney);
}

bool Levels::mayReport() const {
    return gameService_ && useGameService_ && useGameService_() && gameService_->isLocalPlayerAuthenticated();
}

void Levels::submitScoreToGameCenter(const std::string& levelId) const {
    const uint32_t best = getScoreForLevelId(levelId);
    if (shouldSubmitToGameCenterForLevelId(levelId) && best != 0 && mayReport()) {
        gameService_->submitScore(best, leaderboardIdForLevelId(levelId));
    }
}

void Levels::submitGlobalScoreToGameCenter() const {
    const uint32_t total = getGlobalScore();
    if (total != 0 && mayReport()) gameService_->submitScore(total, globalLeaderboardId());
}
