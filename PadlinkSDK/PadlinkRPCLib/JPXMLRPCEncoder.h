#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPValue.h"

// Writes method calls, returns, keep-alives and values as the command channel's XML-RPC text.
// Every message starts with exactly kXMLDeclaration and nothing between it and the root element.
class JPXMLRPCEncoder {
public:
    static constexpr std::string_view kXMLDeclaration = "<?xml version=\"1.0\"?>";

    // The call to write: its method name and parameters (none at first).
    void setMethod(std::string method, std::vector<JPValue> parameters);
    const std::string& method() const { return method_; }
    const std::vector<JPValue>& parameters() const { return parameters_; }

    // The call text: declaration, "<methodCall><methodName>NAME</methodName><params>", one
    // "<param>VALUE</param>" per parameter, "</params></methodCall>".
    std::string encode() const;
    // "<methodReturn>VALUE</methodReturn>" after the declaration.
    static std::string encodeReturn(const JPValue& value);
    // "<keepAlive>N</keepAlive>" after the declaration.
    static std::string encodeKeepAlive(uint32_t counter);

    // One value's text: nil, array, struct (dictionary), boolean, i4 (every integer), float,
    // double, string (escaped), dateTime.iso8601 (local time), base64, or a property object as
    // "<value><CLASS><properties>" with "<property><propertyName>P</propertyName>VALUE</property>"
    // per property in order.
    static std::string encodeObject(const JPValue& value);
    // "<value><TAG>TEXT</TAG></value>".
    static std::string valueTag(std::string_view tag, std::string_view text);
    // `string` with every occurrence of `target` replaced by `value`, scanning left to right past
    // each replacement; an empty target changes nothing.
    static std::string replaceTarget(std::string_view target, std::string_view value, std::string_view string);

    // One encoder per kind, each appending its value text to `out`; encodeObject picks by kind.
    static void encodeArray(std::string& out, const JPValue& array);
    static void encodeDictionary(std::string& out, const JPValue& dictionary);
    static void encodeBoolean(std::string& out, bool value);
    // "i4" for every integer, "float" or "double" as the number was made, in the shortest decimal
    // text that reads back the same.
    static void encodeNumber(std::string& out, const JPValue& number);
    // The escaped text, inside a string value tag unless omitTag.
    static void encodeString(std::string& out, std::string_view text, bool omitTag);
    // Local calendar fields of the date; dates beyond about three million years of 1970 are a
    // caller's error.
    static void encodeDate(std::string& out, const JPValue& date);
    static void encodeData(std::string& out, const JPValue& data);
    static void encodeComplexObject(std::string& out, const JPPropertyObject& object);

private:
    static void appendObject(std::string& out, const JPValue& value);
    static void appendValueTag(std::string& out, std::string_view tag, std::string_view text);

    std::string method_;
    std::vector<JPValue> parameters_;
};
