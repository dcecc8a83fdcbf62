#include "game/objects/LevelDataRange.h"

#include <string>

#include "game/core/GameObject.h"

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

float LevelDataRange::draw() const { return GameObject::randomInRange(min, min + range); }

}  // namespace game
