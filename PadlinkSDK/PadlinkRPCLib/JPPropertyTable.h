#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPValue.h"

// The named properties of a JPPropertyObject class: one getter and one typed setter per name, in
// the order the properties are written. Readings of wire values refuse what does not fit the
// field exactly (a string for a number, a fraction or a negative number for an unsigned field, a
// number beyond float range), so that a peer can never store a made-up value.
template <typename C>
struct JPProperty {
    std::string_view name;
    JPValue (*get)(const C&);
    bool (*set)(C&, const JPValue&);
};

namespace JPWire {

inline JPValue toValue(float number) { return JPValue(number); }
inline JPValue toValue(int32_t number) { return JPValue(number); }
inline JPValue toValue(uint32_t number) { return JPValue(number); }
// One-byte flags go as integers.
inline JPValue toValue(bool flag) { return JPValue(int32_t{flag}); }
inline JPValue toValue(const std::optional<std::string>& text) { return text ? JPValue(*text) : JPValue(); }

// A whole number within [low, high].
inline std::optional<int64_t> integerIn(const JPValue& value, int64_t low, int64_t high) {
    if (!value.isNumber()) return std::nullopt;
    const double number = value.doubleValue();
    if (value.kind() == JPValue::Kind::Float || value.kind() == JPValue::Kind::Double) {
        if (!(number >= static_cast<double>(low) && number <= static_cast<double>(high)) || std::trunc(number) != number) {
            return std::nullopt;
        }
        return static_cast<int64_t>(number);
    }
    const int64_t integer = value.integerValue();
    if (integer < low || integer > high) return std::nullopt;
    return integer;
}

template <typename Field>
std::optional<Field> read(const JPValue& value) {
    if constexpr (std::is_same_v<Field, float>) {
        const double number = value.doubleValue();
        if (!value.isNumber() || !(std::fabs(number) <= std::numeric_limits<float>::max())) return std::nullopt;
        return static_cast<float>(number);
    } else if constexpr (std::is_same_v<Field, bool>) {
        if (!value.isNumber()) return std::nullopt;
        return value.boolValue();
    } else if constexpr (std::is_integral_v<Field>) {
        const auto integer = integerIn(value, std::numeric_limits<Field>::min(), std::numeric_limits<Field>::max());
        if (!integer) return std::nullopt;
        return static_cast<Field>(*integer);
    } else {
        static_assert(std::is_same_v<Field, std::optional<std::string>>);
        if (value.isNil()) return Field();
        if (value.kind() != JPValue::Kind::String) return std::nullopt;
        return Field(value.stringValue());
    }
}

}  // namespace JPWire

// The property of a plain member: a float, a 32-bit integer, a flag or an optional string.
template <typename C, auto Member>
constexpr JPProperty<C> jpMemberProperty(std::string_view name) {
    using Field = std::remove_cvref_t<decltype(std::declval<C&>().*Member)>;
    return {name, [](const C& object) { return JPWire::toValue(object.*Member); },
            [](C& object, const JPValue& value) {
                auto field = JPWire::read<Field>(value);
                if (field) object.*Member = std::move(*field);
                return field.has_value();
            }};
}

template <typename C>
std::vector<std::string_view> jpPropertyNames(std::span<const JPProperty<C>> table) {
    std::vector<std::string_view> names;
    for (const JPProperty<C>& property : table) names.push_back(property.name);
    return names;
}

// The value of the named property; nil for a name not in the table.
template <typename C>
JPValue jpValueForKey(std::span<const JPProperty<C>> table, const C& object, std::string_view name) {
    for (const JPProperty<C>& property : table) {
        if (property.name == name) return property.get(object);
    }
    return JPValue();
}

// Sets the named property through its typed setter; false for a name not in the table or a value
// the setter refuses.
template <typename C>
bool jpSetValueForKey(std::span<const JPProperty<C>> table, C& object, std::string_view name, const JPValue& value) {
    for (const JPProperty<C>& property : table) {
        if (property.name == name) return property.set(object, value);
    }
    return false;
}
