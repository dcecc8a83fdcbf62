#pragma once

#include <string_view>

class Value;

namespace game {

// A number of the object data kept as the range GameObject::loadRangeFrom reads (the key X
// itself, or X_min with X_max; with neither the default holds for both bounds), drawn afresh
// each time with GameObject::randomInRange, so a fixed value draws itself.
struct LevelDataRange {
    float min = 0;
    float max = 0;
    float range = 0;  // max - min, may be negative when the data gives the bounds reversed

    // The range of the key, or [defaultValue, defaultValue] when neither form is present.
    static LevelDataRange read(const Value& data, std::string_view key, float defaultValue);
    // Whether X, or both X_min and X_max, are present.
    static bool isPresent(const Value& data, std::string_view key);
    // The key drawn once, or the default.
    static float drawFrom(const Value& data, std::string_view key, float defaultValue) {
        return read(data, key, defaultValue).draw();
    }

    float draw() const;
};

}  // namespace game
