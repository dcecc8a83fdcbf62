#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

// A property-list value: dictionary, array, string, integer, real, bool, data or date, or none.
//
// A default-constructed Value is none; every lookup that finds nothing (a missing key, an index out
// of range, a lookup on something that is not a container) answers a shared none value, and every
// conversion of none answers 0, false or an empty string, so readers of optional keys need no checks.
//
// Values are plain copyable values; moves are cheap and never throw. Dictionaries keep their keys in
// the order they were set or read; setting an existing key replaces its value in place.
//
// Integers are 64-bit signed. A property list may also carry an unsigned 64-bit integer above
// INT64_MAX (binary lists store it in 16 bytes, XML lists as a plain decimal); such a value keeps its
// bits in the same field with an "unsigned" mark, reads exactly through unsignedIntegerValue(),
// saturates at INT64_MAX through integerValue() and is written back as unsigned.
//
// Dates are seconds since 2001-01-01 00:00:00 UTC, as property lists store them.
class Value {
public:
    enum class Kind { None, Dictionary, Array, String, Integer, Real, Bool, Data, Date };
    using Entry = std::pair<std::string, Value>;

    Value() = default;
    Value(std::string text);
    Value(const char* text);  // a null pointer gives none
    Value(bool flag);
    Value(double number);
    // Any integer type; unsigned values above INT64_MAX are kept as unsigned integers.
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    Value(T number) : Value(integer(number)) {}

    static Value dictionary();
    static Value array();
    static Value data(std::string bytes);
    static Value date(double secondsSinceReferenceDate);

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNone() const { return kind() == Kind::None; }
    bool isDictionary() const { return kind() == Kind::Dictionary; }
    bool isArray() const { return kind() == Kind::Array; }
    bool isString() const { return kind() == Kind::String; }
    bool isInteger() const { return kind() == Kind::Integer; }
    bool isReal() const { return kind() == Kind::Real; }
    bool isBool() const { return kind() == Kind::Bool; }
    bool isData() const { return kind() == Kind::Data; }
    bool isDate() const { return kind() == Kind::Date; }
    // An integer, real or bool: what the platform keeps as a number.
    bool isNumber() const { return isInteger() || isReal() || isBool(); }
    // An integer above INT64_MAX.
    bool isUnsignedInteger() const;

    // Dictionary lookup; none when absent or when this is not a dictionary.
    const Value& operator[](std::string_view key) const { return objectForKey(key); }
    const Value& objectForKey(std::string_view key) const;
    // Array element; none when out of range or when this is not an array.
    const Value& at(size_t index) const;
    // Entries of a dictionary or elements of an array; 0 for every other kind.
    size_t count() const;
    // Dictionary keys in order; empty for every other kind.
    std::vector<std::string> keys() const;
    // Dictionary entries in order (empty for every other kind), for range-for iteration.
    const std::vector<Entry>& entries() const;
    // Array elements (empty for every other kind).
    const std::vector<Value>& elements() const;

    // Builders. set() on anything but a dictionary and append() on anything but an array are
    // programming errors and throw NamedException "NSInvalidArgumentException".
    void set(std::string key, Value value);
    void append(Value value);

    // The platform's number readings: strings are read with the string helpers (leading number,
    // 0 when none), numbers convert with saturation at the target's limits (reals truncate towards
    // zero, NaN reads 0), bools read 1 or 0, and every other kind reads 0 / false.
    int32_t intValue() const;
    int64_t integerValue() const;
    // Exact for every integer (negative ones wrap as the platform's unsigned reading does);
    // positive reals saturate; everything else reads as integerValue() does.
    uint64_t unsignedIntegerValue() const;
    float floatValue() const;
    double doubleValue() const;
    bool boolValue() const;
    // A string as it is; an integer in decimal; a real with the fewest digits that read back to
    // the same double, laid out as "%.17g" lays them out ("0.1", "1000000", "1e+20", "nan"); a bool
    // "1" or "0"; every other kind "".
    std::string stringValue() const;
    // The bytes of a data value; empty for every other kind.
    const std::string& bytes() const;
    // The seconds of a date; 0 for every other kind.
    double timeIntervalSinceReferenceDate() const;

    // Same kind and same content. Dictionaries compare regardless of key order; an integer never
    // equals a real, a signed integer never equals an unsigned one, and NaN equals NaN.
    friend bool operator==(const Value& a, const Value& b);

    // Reads an XML or binary property list (told apart by the "bplist00" header; a UTF-8 byte order
    // mark before XML is skipped). A keyed-archive reference (UID) reads as the dictionary
    // {"CF$UID": n} that XML lists use for it. The list must keep to InputLimits: kFileBytes of
    // input, kNestingDepth levels of dictionaries and arrays, kPropertyListValues values (keys
    // count, and an object a binary list shares counts once per place it stands) and kDecodedBytes
    // of string and data payload counted the same way. A list that is malformed, truncated or
    // beyond those limits, or that holds a value it cannot carry exactly (an integer beyond 64
    // bits or not in plain decimal, a real or date that is not one, a date outside the years 1 to
    // 9999, a string with U+0000 or an unpaired surrogate, a key outside a dictionary or without a
    // value), gives nullopt with the reason in *error, or logged when error is null:
    // "Value: cannot parse <path or "property list data">: <reason>"; so does running out of memory.
    static std::optional<Value> fromBytes(const std::string& bytes, std::string* error);
    static std::optional<Value> fromFile(const std::string& path, std::string* error);
    // The list as XML or binary bytes; XML keeps dates to the whole second. Strings that are not
    // valid UTF-8 are written with U+FFFD in place of each bad sequence, and strings stop at an
    // embedded NUL. A tree that holds a none value or a date outside the years 1 to 9999, is nested
    // deeper than InputLimits::kNestingDepth, or would take more than InputLimits::kFileBytes cannot
    // be written: the result is empty and one line is logged.
    std::string toXML() const;
    std::string toBinary() const;

private:
    // Hashes std::string and std::string_view alike, so that lookups by view allocate nothing.
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    struct Dictionary {
        std::vector<Entry> entries;
        std::unordered_map<std::string, size_t, KeyHash, std::equal_to<>> index;  // key → position in entries

        friend bool operator==(const Dictionary& a, const Dictionary& b) {
            if (a.entries.size() != b.entries.size()) return false;
            for (const auto& [key, value] : a.entries) {
                const auto found = b.index.find(key);
                if (found == b.index.end() || !(b.entries[found->second].second == value)) return false;
            }
            return true;
        }
    };
    struct Integer {
        int64_t bits = 0;
        bool isUnsigned = false;  // bits hold a uint64_t above INT64_MAX
        friend bool operator==(const Integer&, const Integer&) = default;
    };
    struct Data {
        std::string bytes;
        friend bool operator==(const Data&, const Data&) = default;
    };
    // Reals and dates equal themselves even when NaN, so that equality stays an equivalence.
    struct Real {
        double number = 0;
        friend bool operator==(Real a, Real b) {
            return a.number == b.number || (a.number != a.number && b.number != b.number);
        }
    };
    struct Date {
        Real seconds;
        friend bool operator==(const Date&, const Date&) = default;
    };

    template <std::integral T>
    static Integer integer(T number) {
        if constexpr (std::is_signed_v<T>) {
            return {static_cast<int64_t>(number), false};
        } else {
            const auto wide = static_cast<uint64_t>(number);
            return {static_cast<int64_t>(wide), wide > static_cast<uint64_t>(INT64_MAX)};
        }
    }
    Value(Integer number) : storage_(number) {}

    // Alternatives in the order of Kind.
    std::variant<std::monostate, Dictionary, std::vector<Value>, std::string, Integer, Real, bool, Data, Date>
        storage_;
};
