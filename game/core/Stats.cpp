#include "game/core/Stats.h"

#include <cmath>
#include <filesystem>

#include "game/core/ProgressValues.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/SavedFile.h"
#include "platform/foundation/StringUtils.h"

Stats* Stats::sharedInstance() {
    static Stats stats(applicationDataFolder());
    return &stats;
}

Stats::Stats(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {
    initStats();
}

void Stats::initStats() {
    createFolder(dataFolder_);
    const SavedDictionary saved = readSavedDictionary(statsFilePath());
    stats_ = saved.dictionary;
    if (!saved.found) saveStats();
}

int32_t Stats::getStatInt(const std::string& key) const { return progressInt(stats_[key]); }

uint32_t Stats::getStatUInt(const std::string& key) const { return progressUnsigned(stats_[key]); }

float Stats::getStatFloat(const std::string& key) const { return progressFloat(stats_[key]); }

void Stats::setStatInt(const std::string& key, int32_t value) { stats_.set(key, value); }

void Stats::setStatUInt(const std::string& key, uint32_t value) { stats_.set(key, value); }

// A non-finite value would make the file unreadable, so it is kept as 0.
void Stats::setStatFloat(const std::string& key, float value) {
    stats_.set(key, std::isfinite(value) ? static_cast<double>(value) : 0.0);
}

void Stats::incrementStatInt(const std::string& key, int32_t amount) {
    setStatInt(key, static_cast<int32_t>(static_cast<uint32_t>(getStatInt(key)) + static_cast<uint32_t>(amount)));
}

void Stats::incrementStatUInt(const std::string& key, uint32_t amount) {
    setStatUInt(key, getStatUInt(key) + amount);
}

void Stats::incrementStatFloat(const std::string& key, float amount) {
    setStatFloat(key, getStatFloat(key) + amount);
}

bool Stats::saveStats() const {
    return writeSavedDictionary(statsFilePath(), stats_);
}

void Stats::deleteStats() {
    std::error_code ignored;
    std::filesystem::remove(statsFilePath(), ignored);
    initStats();
}

std::string Stats::statsFilePath() const {
    return stringByAppendingPathComponent(dataFolder_, kStatsFileName);
}
