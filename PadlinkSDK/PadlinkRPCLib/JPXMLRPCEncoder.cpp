#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCEncoder.h"

#include <charconv>
#include <cmath>
#include <ctime>

#include "PadlinkSDK/PadlinkRPCLib/JPStringHelper.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

namespace {
// Seconds from 1970-01-01 to 2001-01-01, both UTC.
constexpr double kReferenceDateSince1970 = 978307200;
// Dates within about three million years of 1970 fit every calendar field.
constexpr double kLargestDate = 1e14;

template <typename Number>
void appendShortest(std::string& out, Number number) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, number).ptr);
}
}  // namespace

void JPXMLRPCEncoder::setMethod(std::string method, std::vector<JPValue> parameters) {
    method_ = std::move(method);
    parameters_ = std::move(parameters);
}

std::string JPXMLRPCEncoder::encode() const {
    std::string out(kXMLDeclaration);
    out += "<methodCall><methodName>";
    encodeString(out, method_, true);
    out += "</methodName><params>";
    for (const JPValue& parameter : parameters_) {
        out += "<param>";
        appendObject(out, parameter);
        out += "</param>";
    }
    out += "</params></methodCall>";
    return out;
}

std::string JPXMLRPCEncoder::encodeReturn(const JPValue& value) {
    std::string out(kXMLDeclaration);
    out += "<methodReturn>";
    appendObject(out, value);
    out += "</methodReturn>";
    return out;
}

std::string JPXMLRPCEncoder::encodeKeepAlive(uint32_t counter) {
    return std::string(kXMLDeclaration) + "<keepAlive>" + std::to_string(counter) + "</keepAlive>";
}

std::string JPXMLRPCEncoder::encodeObject(const JPValue& value) {
    std::string out;
    appendObject(out, value);
    return out;
}

std::string JPXMLRPCEncoder::valueTag(std::string_view tag, std::string_view text) {
    std::string out;
    appendValueTag(out, tag, text);
    return out;
}

std::string JPXMLRPCEncoder::replaceTarget(std::string_view target, std::string_view value, std::string_view string) {
    return stringByReplacingOccurrences(string, target, value);
}

void JPXMLRPCEncoder::appendObject(std::string& out, const JPValue& value) {
    switch (value.kind()) {
    case JPValue::Kind::Nil: out += "<value><nil></nil></value>"; break;
    case JPValue::Kind::Array: encodeArray(out, value); break;
    case JPValue::Kind::Dictionary: encodeDictionary(out, value); break;
    case JPValue::Kind::Boolean: encodeBoolean(out, value.boolValue()); break;
    case JPValue::Kind::Integer:
    case JPValue::Kind::Float:
    case JPValue::Kind::Double: encodeNumber(out, value); break;
    case JPValue::Kind::String: encodeString(out, value.stringValue(), false); break;
    case JPValue::Kind::Date: encodeDate(out, value); break;
    case JPValue::Kind::Data: encodeData(out, value); break;
    case JPValue::Kind::Object: encodeComplexObject(out, *value.object()); break;
    }
}

void JPXMLRPCEncoder::appendValueTag(std::string& out, std::string_view tag, std::string_view text) {
    out.append("<value><").append(tag).append(">").append(text).append("</").append(tag).append("></value>");
}

void JPXMLRPCEncoder::encodeArray(std::string& out, const JPValue& array) {
    out += "<value><array><data>";
    for (const JPValue& element : array.elements()) appendObject(out, element);
    out += "</data></array></value>";
}

void JPXMLRPCEncoder::encodeDictionary(std::string& out, const JPValue& dictionary) {
    out += "<value><struct>";
    for (const auto& [key, value] : dictionary.entries()) {
        out += "<member><name>";
        encodeString(out, key, true);
        out += "</name>";
        appendObject(out, value);
        out += "</member>";
    }
    out += "</struct></value>";
}

void JPXMLRPCEncoder::encodeBoolean(std::string& out, bool value) { appendValueTag(out, "boolean", value ? "1" : "0"); }

void JPXMLRPCEncoder::encodeNumber(std::string& out, const JPValue& number) {
    std::string text;
    switch (number.kind()) {
    case JPValue::Kind::Float:
        appendShortest(text, static_cast<float>(number.doubleValue()));
        return appendValueTag(out, "float", text);
    case JPValue::Kind::Double:
        appendShortest(text, number.doubleValue());
        return appendValueTag(out, "double", text);
    default:
        appendShortest(text, number.integerValue());
        return appendValueTag(out, "i4", text);
    }
}

void JPXMLRPCEncoder::encodeString(std::string& out, std::string_view text, bool omitTag) {
    if (omitTag) {
        out += JPStringHelper::escapeString(text);
    } else {
        appendValueTag(out, "string", JPStringHelper::escapeString(text));
    }
}

void JPXMLRPCEncoder::encodeDate(std::string& out, const JPValue& date) {
    const double since1970 = std::floor(date.timeIntervalSinceReferenceDate() + kReferenceDateSince1970);
    CC_REQUIRE(std::fabs(since1970) < kLargestDate, "NSInvalidArgumentException", "date %g s out of range", since1970);
    const auto seconds = static_cast<time_t>(since1970);
    struct tm local {};
    localtime_r(&seconds, &local);
    appendValueTag(out, "dateTime.iso8601",
                   stringWithFormat("%.4d%.2d%.2dT%.2d:%.2d:%.2d", local.tm_year + 1900, local.tm_mon + 1,
                                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec));
}

void JPXMLRPCEncoder::encodeData(std::string& out, const JPValue& data) {
    appendValueTag(out, "base64", JPStringHelper::base64StringFromData(data.bytes(), data.bytes().size()));
}

void JPXMLRPCEncoder::encodeComplexObject(std::string& out, const JPPropertyObject& object) {
    const char* className = object.rpcClassName();
    out.append("<value><").append(className).append("><properties>");
    for (std::string_view name : object.propertiesToEncode()) {
        out.append("<property><propertyName>").append(name).append("</propertyName>");
        appendObject(out, object.valueForKey(name));
        out += "</property>";
    }
    out.append("</properties></").append(className).append("></value>");
}
