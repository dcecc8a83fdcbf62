// "levels.plist": any bytes give a catalogue whose counts agree with its tables, whose navigation
// stays inside each group, and whose fills lie within 0 to 1.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzInputFile.h"
#include "game/core/Levels.h"
#include "platform/foundation/Log.h"

namespace {

bool isFraction(float value) { return std::isfinite(value) && value >= 0 && value <= 1; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    Levels levels(FuzzInputFile::write(data, size), FuzzScratchFolder::fresh(), nullptr, nullptr);
    if (levels.levelCount() != static_cast<int>(levels.levels().count())) std::abort();
    if (levels.levelGroupCount() != static_cast<int>(levels.levelGroupOrder().count())) std::abort();
    if (levels.levelGroupAvailableCount() > levels.levelGroupCount()) std::abort();
    uint32_t score = 1;
    for (const auto& [id, level] : levels.levels().entries()) {
        const std::string next = levels.getNextLevelId(id);
        if (!next.empty() && (levels.getPreviousLevelId(next) != id)) std::abort();
        levels.setScore(score *= 7, id);
        levels.isLevelAvailableAndUnLocked(id);
        if (!isFraction(levels.getFillPercForLevelId(id))) std::abort();
    }
    if (!isFraction(levels.getGlobalFillPerc())) std::abort();
    return 0;
}
