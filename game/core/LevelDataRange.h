#pragma once

#include <initializer_list>
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

    // Whether every form of these keys (X, X_min, X_max) that the data holds is a finite number
    // of at most kLargest in size; false, with one log line naming the key and `what`, when one
    // is not. Movement values beyond that put the mover (and its body) out of float's range.
    static bool areBounded(const Value& data, std::initializer_list<std::string_view> keys, const char* what);
    static constexpr float kLargest = 1e6f;
};

}  // namespace game
