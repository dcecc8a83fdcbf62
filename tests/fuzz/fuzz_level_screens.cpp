// A catalogue, "Scores.archive" and "Stats.archive" of any bytes (the input's three parts,
// separated by lines "%%"), read as the game reads them, give level screens and a flight log within
// their bounds: one to three slots at their places, fills between empty and full, unlock lines on
// the hive, an emblem file and star that exist for the rank.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzInputFile.h"
#include "app/menu/VantrelMenuLayer.h"
#include "game/core/Levels.h"
#include "game/core/Rank.h"
#include "game/core/Stats.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Log.h"

namespace {

constexpr std::string_view kSeparator = "\n%%\n";
constexpr double kHiveHeight = 150;

void check(bool holds) {
    if (!holds) std::abort();
}

void checkRank(int32_t rank) {
    const std::string emblem = VantrelMenuLayer::rankEmblemFileName(rank);
    const int32_t shown = std::atoi(emblem.c_str() + 5);
    check(emblem == "rank_" + std::to_string(shown) + ".png" && shown >= 0 && shown <= 10);
    const CGPoint star = VantrelMenuLayer::rankStarPosition(rank);
    check(shown == 0 ? star.x == 0 && star.y == 0 : star.x >= 300 && star.x <= 560 && star.y >= 290 && star.y <= 420);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    for (std::string& part : parts) {
        const size_t end = rest.find(kSeparator);
        part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + kSeparator.size());
    }
    const std::string& folder = FuzzScratchFolder::fresh();
    check(writeFileAtomically(folder + "/levels.plist", parts[0]));
    check(writeFileAtomically(folder + "/" + Levels::kScoresFileName, parts[1]));
    check(writeFileAtomically(folder + "/" + Stats::kStatsFileName, parts[2]));
    Levels levels(folder + "/levels.plist", folder, nullptr, nullptr);
    Stats stats(folder);
    Rank rank(levels, stats, nullptr, nullptr);

    for (const Value& group : levels.levelGroupOrder().elements()) {
        const std::string groupId = group.stringValue();
        if (!levels.isLevelGroupAvailable(groupId)) continue;
        const std::vector<Value>& groupLevels = levels.levelGroups()[groupId].elements();
        const int32_t count = static_cast<int32_t>(std::min<size_t>(groupLevels.size(), VantrelMenuLayer::kLevelSlots));
        for (int32_t slot = 0; slot < count; ++slot) {
            const double x = VantrelMenuLayer::levelSlotX(count, slot);
            check(x >= 168 && x <= 656);  // between the screen's arrows
            check(slot == 0 || x > VantrelMenuLayer::levelSlotX(count, slot - 1));
            const std::string id = groupLevels[static_cast<size_t>(slot)]["id"].stringValue();
            levels.isLevelAvailableAndUnLocked(id);
            const float fill = levels.getFillPercForLevelId(id);
            check(std::isfinite(fill) && fill >= 0 && fill <= 1);
            const double line = VantrelMenuLayer::unlockLineHeight(
                kHiveHeight, levels.getUnlockNextLevelScoreForLevelId(id), levels.getReferenceScoreForLevelId(id));
            check(line >= 0 && line <= kHiveHeight);
        }
        check(VantrelMenuLayer::levelSlotX(count, count) == 0);
    }

    checkRank(rank.getSavedRank());
    checkRank(stats.getStatInt("rank"));
    for (const char* key : {"distance_travelled", "hives_visited", "flowers_visited", "buddies_found", "hornet_hits",
                            "lightning_hits", "honey_bonuses", "time_bonuses", "nectar_bonuses", "honey"}) {
        stats.getStatUInt(key);
    }
    return 0;
}
