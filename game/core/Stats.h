#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Value.h"

// The player's lifetime statistics, kept in "Stats.archive" in the application data folder: a
// property-list dictionary of numbers ("games_started", "games_finished", "honey",
// "distance_travelled", "hives_visited", "flowers_visited", "buddies_found", the "*_hits" and
// "*_bonuses" counters, and "rank"). Values change in memory and reach the file through saveStats.
// A value that is not a number reads 0, and so does a negative one read as unsigned; an unreadable
// file is kept aside and the statistics start empty. Used on the engine thread only.
class Stats {
public:
    static constexpr const char* kStatsFileName = "Stats.archive";

    // The program's statistics, in the application data folder. Made on first use, from any thread.
    static Stats* sharedInstance();

    // Statistics kept in `dataFolder` (made when missing); a missing file is written at once.
    explicit Stats(std::string dataFolder);
    Stats(const Stats&) = delete;
    Stats& operator=(const Stats&) = delete;
    // The diagnostic listing of the statistics prints nothing in this program, so there is nothing to
    // walk.
    void dumpInfo() const {}

    // 0 when the key is absent.
    int32_t getStatInt(const std::string& key) const;
    uint32_t getStatUInt(const std::string& key) const;
    float getStatFloat(const std::string& key) const;
    void setStatInt(const std::string& key, int32_t value);
    void setStatUInt(const std::string& key, uint32_t value);
    // A non-finite value is stored as 0.
    void setStatFloat(const std::string& key, float value);
    // The stored value plus `amount`; the integer kinds wrap at 32 bits.
    void incrementStatInt(const std::string& key, int32_t amount);
    void incrementStatUInt(const std::string& key, uint32_t amount);
    void incrementStatFloat(const std::string& key, float amount);

    // Writes the file atomically; false, with a log line, when it cannot.
    bool saveStats() const;
    // Deletes the file and starts again empty (written at once).
    void deleteStats();
    std::string statsFilePath() const;
    const std::string& cacheDirectory() const { return dataFolder_; }

private:
    void initStats();

    const std::string dataFolder_;
    Value stats_ = Value::dictionary();
};
