// "Scores.archive" and "Stats.archive": any bytes give scores and statistics within their types, a
// saved rank of 0 to 10, and files that read back once the program has written them.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzInputFile.h"
#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/Stats.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Log.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string& folder = FuzzScratchFolder::fresh();
    for (const char* name : {Levels::kScoresFileName, Stats::kStatsFileName}) {
        if (!writeFileAtomically(folder + "/" + name, bytes)) std::abort();
    }
    Levels levels(folder + "/levels.plist", folder, nullptr, nullptr);  // no catalogue
    Stats stats(folder);
    Rank rank(levels, stats, nullptr, nullptr);
    const int saved = rank.getSavedRank();
    if (saved < 0 || saved > Rank::kMaxRank) std::abort();
    const auto read = Value::fromBytes(bytes, nullptr);
    if (read && read->isDictionary()) {
        for (const auto& [key, value] : read->entries()) {
            levels.getScoreForLevelId(key);
            stats.incrementStatUInt(key, 1);
            stats.incrementStatInt(key, 1);
            stats.incrementStatFloat(key, 1);
        }
    }
    rank.setSavedRank(saved + 1);
    if (!stats.saveStats()) std::abort();
    if (!Stats(folder).getStatInt("rank") && saved < Rank::kMaxRank) std::abort();
    return 0;
}
