#include "game/objects/LevelDataRange.h"

#include <string>

#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
std::string suffixed(std::string_view key, const char* suffix) { return std::string(key) + suffix; }
}  // namespace

LevelDataRange LevelDataRange::read(const Value& data, std::string_view key, float defaultValue) {
    LevelDataRange result{defaultValue, defaultValue, 0};
    if (const Value& fixed = data[key]; !fixed.isNone()) {
        result.min = result.max = fixed.floatValue();
        return result;
    }
    const Value& low = data[suffixed(key, "_min")];
    const Value& high = data[suffixed(key, "_max")];
    if (low.isNone() || high.isNone()) return result;
    result.min = low.floatValue();
    result.max = high.floatValue();
    result.range = result.max - result.min;
    return result;
}

bool LevelDataRange::isPresent(const Value& data, std::string_view key) {
    return !data[key].isNone() || (!data[suffixed(key, "_min")].isNone() && !data[suffixed(key, "_max")].isNone());
}

float LevelDataRange::draw() const { return min + Random::unitFloat() * range; }

}  // namespace game
