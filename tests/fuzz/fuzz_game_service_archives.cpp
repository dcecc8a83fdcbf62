// The game-service client's cache archives and the local service's store: any bytes in the three
// files give a client and a signed-in service that work, with caches holding only whole entries
// filed under their own identifiers and a store whose loads answer within range.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzInputFile.h"
#include "shell/GameKitHelper.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/gameservice/LocalGameService.h"

namespace {
void drainMainLoop() {
    while (RunLoop::main().runOnce() > 0) {
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string& folder = FuzzScratchFolder::fresh();
    for (const char* name : {GameKitHelper::kCachedScoresFileName, GameKitHelper::kCachedAchievementsFileName,
                             LocalGameService::kStoreFileName}) {
        if (!writeFileAtomically(folder + "/" + name, bytes)) std::abort();
    }
    auto service = LocalGameService::create(folder);
    GameKitHelper helper(service, folder);
    for (const auto& [category, score] : helper.cachedScores()) {
        if (!score || score->category() != category) std::abort();
    }
    for (const auto& [identifier, achievement] : helper.cachedAchievements()) {
        const double percent = achievement->percentComplete();
        if (achievement->identifier() != identifier || !(percent >= 0 && percent <= 100)) std::abort();
    }
    helper.authenticateLocalPlayer();
    drainMainLoop();
    if (!helper.isLocalPlayerAuthenticated()) std::abort();
    for (const auto& [identifier, achievement] : helper.achievements()) {
        const double percent = achievement->percentComplete();
        if (!(percent >= 0 && percent <= 100)) std::abort();
    }
    helper.submitScore(1, "vtosx_meadow_a");
    helper.reportAchievementWithIdentifer("vtosx_rank_1", 100);
    drainMainLoop();
    if (helper.lastError()) std::abort();  // the store was readable or kept aside, so it takes writes
    return 0;
}
