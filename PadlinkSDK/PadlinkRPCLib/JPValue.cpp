#include "PadlinkSDK/PadlinkRPCLib/JPValue.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/foundation/StringUtils.h"

JPValue::JPValue(RefPtr<JPPropertyObject> object) {
    if (object) storage_ = std::move(object);
}

JPValue JPValue::dictionary(Dictionary entries) {
    JPValue value;
    value.storage_ = Entries{std::move(entries)};
    return value;
}

JPValue JPValue::date(double secondsSinceReferenceDate) {
    JPValue value;
    value.storage_ = Date{secondsSinceReferenceDate};
    return value;
}

JPValue JPValue::data(std::string bytes) {
    JPValue value;
    value.storage_ = Data{std::move(bytes)};
    return value;
}

bool JPValue::isNumber() const {
    const Kind k = kind();
    return k == Kind::Boolean || k == Kind::Integer || k == Kind::Float || k == Kind::Double;
}

bool JPValue::boolValue() const {
    return isNumber() && doubleValue() != 0;
}

int64_t JPValue::integerValue() const {
    switch (kind()) {
    case Kind::Boolean: return std::get<bool>(storage_) ? 1 : 0;
    case Kind::Integer: return std::get<int64_t>(storage_);
    case Kind::Float:
    case Kind::Double: {
        const double number = doubleValue();
        if (std::isnan(number)) return 0;
        if (number >= 0x1p63) return std::numeric_limits<int64_t>::max();
        if (number < -0x1p63) return std::numeric_limits<int64_t>::min();
        return static_cast<int64_t>(number);
    }
    default: return 0;
    }
}

double JPValue::doubleValue() const {
    switch (kind()) {
    case Kind::Float: return std::get<float>(storage_);
    case Kind::Double: return std::get<double>(storage_);
    case Kind::Boolean:
    case Kind::Integer: return static_cast<double>(integerValue());
    default: return 0;
    }
}

const std::string& JPValue::stringValue() const {
    static const std::string empty;
    const auto* text = std::get_if<std::string>(&storage_);
    return text ? *text : empty;
}

const std::string& JPValue::bytes() const {
    static const std::string empty;
    const auto* data = std::get_if<Data>(&storage_);
    return data ? data->bytes : empty;
}

double JPValue::timeIntervalSinceReferenceDate() const {
    const auto* date = std::get_if<Date>(&storage_);
    return date ? date->seconds : 0;
}

const JPValue::Array& JPValue::elements() const {
    static const Array empty;
    const auto* array = std::get_if<Array>(&storage_);
    return array ? *array : empty;
}

const JPValue::Dictionary& JPValue::entries() const {
    static const Dictionary empty;
    const auto* dictionary = std::get_if<Entries>(&storage_);
    return dictionary ? dictionary->entries : empty;
}

JPPropertyObject* JPValue::object() const {
    const auto* object = std::get_if<RefPtr<JPPropertyObject>>(&storage_);
    return object ? object->get() : nullptr;
}

bool operator==(const JPValue::Entries& a, const JPValue::Entries& b) {
    return a.entries == b.entries;
}

bool operator==(const JPValue& a, const JPValue& b) {
    return a.storage_ == b.storage_;
}

std::string JPValue::description() const {
    const auto shortest = [](auto number) {
        char text[32];
        return std::string(text, std::to_chars(text, text + sizeof text, number).ptr);
    };
    std::string text;
    switch (kind()) {
    case Kind::Nil: return "nil";
    case Kind::Boolean: return boolValue() ? "YES" : "NO";
    case Kind::Integer: return std::to_string(integerValue());
    case Kind::Float: return shortest(std::get<float>(storage_));
    case Kind::Double: return shortest(std::get<double>(storage_));
    case Kind::String: return stringWithFormat("\"%s\"", stringValue().c_str());
    case Kind::Date: return stringWithFormat("<date %s>", shortest(timeIntervalSinceReferenceDate()).c_str());
    case Kind::Data: return stringWithFormat("<%zu bytes>", bytes().size());
    case Kind::Array:
        for (const JPValue& element : elements()) text += (text.empty() ? "" : ", ") + element.description();
        return "(" + text + ")";
    case Kind::Dictionary:
        for (const auto& [key, value] : entries()) {
            text += (text.empty() ? "" : "; ") + key + " = " + value.description();
        }
        return "{" + text + "}";
    case Kind::Object: return stringWithFormat("<%s>", object()->rpcClassName());
    }
    return text;
}
