#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPPropertyObject.h"

// One value of a method call or return: nil, a boolean, a number kept with the kind it was made as
// (integer, float or double, since each is written under its own tag), a string, a date, bytes, an
// array, a dictionary with its keys in order, or a property object (a layout or a component).
// Plain copyable value; arrays and dictionaries own their elements.
class JPValue {
public:
    enum class Kind { Nil, Boolean, Integer, Float, Double, String, Date, Data, Array, Dictionary, Object };
    using Array = std::vector<JPValue>;
    using Entry = std::pair<std::string, JPValue>;
    using Dictionary = std::vector<Entry>;

    JPValue() = default;
    JPValue(bool flag) : storage_(flag) {}
    // Every integer type is kept as a signed 64-bit integer.
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    JPValue(T number) : storage_(static_cast<int64_t>(number)) {}
    JPValue(float number) : storage_(number) {}
    JPValue(double number) : storage_(number) {}
    JPValue(std::string text) : storage_(std::move(text)) {}
    JPValue(const char* text) : storage_(std::string(text)) {}
    JPValue(Array elements) : storage_(std::move(elements)) {}
    // A null object gives nil.
    JPValue(RefPtr<JPPropertyObject> object);
    template <std::derived_from<JPPropertyObject> T>
        requires(!std::same_as<T, JPPropertyObject>)
    JPValue(const RefPtr<T>& object) : JPValue(RefPtr<JPPropertyObject>(object)) {}
    static JPValue dictionary(Dictionary entries);
    // Seconds since 2001-01-01 00:00:00 UTC, as the platform's property lists count them.
    static JPValue date(double secondsSinceReferenceDate);
    static JPValue data(std::string bytes);

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNil() const { return kind() == Kind::Nil; }
    // A boolean, integer, float or double.
    bool isNumber() const;

    // Readings that answer false, 0 or empty for a value of another kind; numbers convert between
    // each other (reals truncate towards zero, saturating).
    bool boolValue() const;
    int64_t integerValue() const;
    double doubleValue() const;
    const std::string& stringValue() const;  // a string's text
    const std::string& bytes() const;        // a data value's bytes
    double timeIntervalSinceReferenceDate() const;
    const Array& elements() const;
    const Dictionary& entries() const;
    JPPropertyObject* object() const;  // null unless a property object

    // Same kind and content; property objects compare by identity.
    friend bool operator==(const JPValue& a, const JPValue& b);

    // A short readable form for logs: "nil", "7", "0.5", "\"text\"", "<3 bytes>", "(a, b)",
    // "{key = value}", "<JPHiddenControllerLayout>".
    std::string description() const;

private:
    struct Date {
        double seconds;
        friend bool operator==(const Date&, const Date&) = default;
    };
    struct Data {
        std::string bytes;
        friend bool operator==(const Data&, const Data&) = default;
    };
    struct Entries {
        Dictionary entries;
    };
    // Out of line: comparing entries needs JPValue complete.
    friend bool operator==(const Entries& a, const Entries& b);

    // Alternatives in the order of Kind.
    std::variant<std::monostate, bool, int64_t, float, double, std::string, Date, Data, Array, Entries,
                 RefPtr<JPPropertyObject>>
        storage_;
};
