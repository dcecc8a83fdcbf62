#include "game/core/LevelDataRange.h"

#include <cmath>
#include <string>

#include "game/core/GameObject.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

LevelDataRange LevelDataRange::read(const Value& data, std::string_view key, float defaultValue) {
    LevelDataRange result{defaultValue, defaultValue, 0};
    if (GameObject::loadRangeFrom(data, std::string(key), &result.min, &result.max)) {
        result.range = result.max - result.min;
    }
    return result;
}

bool LevelDataRange::isPresent(const Value& data, std::string_view key) {
    float ignored[2];
    return GameObject::loadRangeFrom(data, std::string(key), &ignored[0], &ignored[1]);
}

bool LevelDataRange::areBounded(const Value& data, std::initializer_list<std::string_view> keys, const char* what) {
    for (std::string_view key : keys) {
        for (const char* suffix : {"", "_min", "_max"}) {
            const std::string name = std::string(key) + suffix;
            const Value& value = data[name];
            if (value.isNone() || std::fabs(value.floatValue()) <= kLargest) continue;
            logLine("Game objects: %s refused: \"%s\" %g is not a number of at most %g", what, name.c_str(),
                    value.floatValue(), kLargest);
            return false;
        }
    }
    return true;
}

float LevelDataRange::draw() const { return GameObject::randomInRange(min, min + range); }

}  // namespace game
