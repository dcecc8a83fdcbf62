#include "platform/foundation/Value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

static_assert(std::is_nothrow_move_constructible_v<Value> && std::is_nothrow_move_assignable_v<Value>,
              "containers of values must move, not copy, when they grow");

namespace {
// Constant-initialised, so that lookups made by other files' static initialisers find them ready.
constinit const Value kNone;
constinit const std::vector<Value::Entry> kNoEntries;
constinit const std::vector<Value> kNoElements;

template <typename Target>
Target saturated(double number) {
    if (std::isnan(number)) return 0;
    // Both limits are exact in a double for 32- and 64-bit targets (INT64_MAX rounds up to 2^63,
    // which is out of range, hence >=).
    if (number <= static_cast<double>(std::numeric_limits<Target>::min())) return std::numeric_limits<Target>::min();
    if (number >= static_cast<double>(std::numeric_limits<Target>::max())) return std::numeric_limits<Target>::max();
    return static_cast<Target>(number);
}

// The shortest digits that read back to the same double, laid out as "%.17g" lays them out:
// fixed notation for decimal exponents from -4 to 16, scientific otherwise.
std::string realString(double number) {
    if (!std::isfinite(number)) return std::isnan(number) ? "nan" : (number < 0 ? "-inf" : "inf");
    char text[64];
    const auto scientific = std::to_chars(text, text + sizeof text, number, std::chars_format::scientific);
    const std::string_view shortest(text, static_cast<size_t>(scientific.ptr - text));
    const size_t e = shortest.find('e');
    int digits = 0;
    for (char c : shortest.substr(0, e)) digits += c >= '0' && c <= '9';
    // The exponent is signed ("e+20", "e-05"); from_chars takes no plus sign.
    const std::string_view exponentText = shortest.substr(shortest[e + 1] == '+' ? e + 2 : e + 1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (exponent < -4 || exponent >= 17) return std::string(shortest);
    const auto fixed = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed,
                                     std::max(0, digits - 1 - exponent));
    return std::string(text, fixed.ptr);
}
}  // namespace

Value::Value(std::string text) : storage_(std::move(text)) {}

Value::Value(const char* text) {
    if (text) storage_ = std::string(text);
}

Value::Value(bool flag) : storage_(flag) {}

Value::Value(double number) : storage_(Real{number}) {}

Value Value::dictionary() {
    Value value;
    value.storage_ = Dictionary{};
    return value;
}

Value Value::array() {
    Value value;
    value.storage_ = std::vector<Value>{};
    return value;
}

Value Value::data(std::string bytes) {
    Value value;
    value.storage_ = Data{std::move(bytes)};
    return value;
}

Value Value::date(double secondsSinceReferenceDate) {
    Value value;
    value.storage_ = Date{{secondsSinceReferenceDate}};
    return value;
}

bool Value::isUnsignedInteger() const {
    const auto* number = std::get_if<Integer>(&storage_);
    return number && number->isUnsigned;
}

const Value& Value::objectForKey(std::string_view key) const {
    const auto* dictionary = std::get_if<Dictionary>(&storage_);
    if (!dictionary) return kNone;
    const auto found = dictionary->index.find(key);
    return found == dictionary->index.end() ? kNone : dictionary->entries[found->second].second;
}

const Value& Value::at(size_t index) const {
    const auto& list = elements();
    return index < list.size() ? list[index] : kNone;
}

size_t Value::count() const {
    if (const auto* dictionary = std::get_if<Dictionary>(&storage_)) return dictionary->entries.size();
    return elements().size();
}

std::vector<std::string> Value::keys() const {
    std::vector<std::string> result;
    for (const auto& entry : entries()) result.push_back(entry.first);
    return result;
}

const std::vector<Value::Entry>& Value::entries() const {
    const auto* dictionary = std::get_if<Dictionary>(&storage_);
    return dictionary ? dictionary->entries : kNoEntries;
}

const std::vector<Value>& Value::elements() const {
    const auto* list = std::get_if<std::vector<Value>>(&storage_);
    return list ? *list : kNoElements;
}

void Value::set(std::string key, Value value) {
    auto* dictionary = std::get_if<Dictionary>(&storage_);
    CC_REQUIRE(dictionary, "NSInvalidArgumentException", "set(key, value) on a value that is not a dictionary");
    const auto [position, added] = dictionary->index.try_emplace(key, dictionary->entries.size());
    if (added) {
        dictionary->entries.emplace_back(std::move(key), std::move(value));
    } else {
        dictionary->entries[position->second].second = std::move(value);
    }
}

void Value::append(Value value) {
    auto* list = std::get_if<std::vector<Value>>(&storage_);
    CC_REQUIRE(list, "NSInvalidArgumentException", "append(value) on a value that is not an array");
    list->push_back(std::move(value));
}

int32_t Value::intValue() const {
    if (const auto* text = std::get_if<std::string>(&storage_)) return stringIntValue(*text);
    const int64_t number = integerValue();
    return static_cast<int32_t>(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX));
}

int64_t Value::integerValue() const {
    switch (kind()) {
        case Kind::String: return stringIntegerValue(std::get<std::string>(storage_));
        case Kind::Integer: {
            const Integer number = std::get<Integer>(storage_);
            return number.isUnsigned ? INT64_MAX : number.bits;
        }
        case Kind::Real: return saturated<int64_t>(std::get<Real>(storage_).number);
        case Kind::Bool: return std::get<bool>(storage_) ? 1 : 0;
        default: return 0;
    }
}

uint64_t Value::unsignedIntegerValue() const {
    if (const auto* number = std::get_if<Integer>(&storage_)) return static_cast<uint64_t>(number->bits);
    if (const auto* real = std::get_if<Real>(&storage_); real && real->number > 0) return saturated<uint64_t>(real->number);
    return static_cast<uint64_t>(integerValue());
}

float Value::floatValue() const {
    if (const auto* text = std::get_if<std::string>(&storage_)) return stringFloatValue(*text);
    return static_cast<float>(doubleValue());
}

double Value::doubleValue() const {
    switch (kind()) {
        case Kind::String: return stringDoubleValue(std::get<std::string>(storage_));
        case Kind::Integer: {
            const Integer number = std::get<Integer>(storage_);
            return number.isUnsigned ? static_cast<double>(static_cast<uint64_t>(number.bits))
                                     : static_cast<double>(number.bits);
        }
        case Kind::Real: return std::get<Real>(storage_).number;
        case Kind::Bool: return std::get<bool>(storage_) ? 1.0 : 0.0;
        default: return 0.0;
    }
}

bool Value::boolValue() const {
    switch (kind()) {
        case Kind::String: return stringBoolValue(std::get<std::string>(storage_));
        case Kind::Integer: return std::get<Integer>(storage_).bits != 0;
        case Kind::Real: return std::get<Real>(storage_).number != 0.0;
        case Kind::Bool: return std::get<bool>(storage_);
        default: return false;
    }
}

std::string Value::stringValue() const {
    switch (kind()) {
        case Kind::String: return std::get<std::string>(storage_);
        case Kind::Integer: {
            const Integer number = std::get<Integer>(storage_);
            return number.isUnsigned ? std::to_string(static_cast<uint64_t>(number.bits)) : std::to_string(number.bits);
        }
        case Kind::Real: return realString(std::get<Real>(storage_).number);
        case Kind::Bool: return std::get<bool>(storage_) ? "1" : "0";
        default: return {};
    }
}

const std::string& Value::bytes() const {
    static const std::string none;
    const auto* data = std::get_if<Data>(&storage_);
    return data ? data->bytes : none;
}

double Value::timeIntervalSinceReferenceDate() const {
    const auto* date = std::get_if<Date>(&storage_);
    return date ? date->seconds.number : 0.0;
}

bool operator==(const Value& a, const Value& b) { return a.storage_ == b.storage_; }
