#include "PadlinkSDK/PadlinkRPCLib/JPRPCValue.h"

#include <charconv>
#include <cmath>

#include "PadlinkSDK/PadlinkRPCLib/JPDataHelper.h"
#include "PadlinkSDK/PadlinkRPCLib/JPHiddenControllerLayout.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {
bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (std::string_view candidate : names) {
        if (name == candidate) return true;
    }
    return false;
}

// A whole decimal text as an integer, any other decimal text as a double; nil (with a log line)
// for text that is not a finite number.
JPValue numberFromText(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    const size_t last = text.find_last_not_of(" \t\r\n");
    const std::string_view number = first == std::string_view::npos ? "" : text.substr(first, last - first + 1);
    const char* end = number.data() + number.size();
    int64_t integer = 0;
    if (auto [at, error] = std::from_chars(number.data(), end, integer); error == std::errc() && at == end) {
        return JPValue(integer);
    }
    double real = 0;
    if (auto [at, error] = std::from_chars(number.data(), end, real); error == std::errc() && at == end && std::isfinite(real)) {
        return JPValue(real);
    }
    logLine("Padlink: Got a number I cannot read: \"%.40s\"", std::string(number).c_str());
    return JPValue();
}

JPValue objectWithProperties(RefPtr<JPPropertyObject> object, const JPValue::Dictionary& properties) {
    int ignored = 0;
    for (const auto& [name, value] : properties) {
        if (!object->setValueForKey(name, value)) ++ignored;
    }
    if (ignored > 0) {
        logLine("Padlink: Ignored %d unknown or mistyped properties of a %s", ignored, object->rpcClassName());
    }
    return JPValue(std::move(object));
}
}  // namespace

JPValue JPRPCValue::output() const {
    if (className == "nil") return JPValue();
    if (className == "string") return JPValue(text);
    if (isOneOf(className, {"i4", "int", "float"})) return numberFromText(text);
    if (className == "boolean") return JPValue(stringBoolValue(text));
    if (className == "array") return JPValue(rpcValues);
    if (className == "base64") return JPValue::data(JPDataHelper::base64DataFromString(text));
    if (isOneOf(className, {"JPControllerLayout", "JPHiddenControllerLayout", "PadlinkControllerLayout",
                            "PadlinkHiddenControllerLayout"})) {
        return objectWithProperties(makeRef<JPHiddenControllerLayout>(), properties);
    }
    if (isOneOf(className, {"JPInputComponentTemplate", "PadlinkInputComponentTemplate"})) {
        return objectWithProperties(makeRef<JPInputComponentTemplate>(), properties);
    }
    logLine("Padlink: Got an RPC value that I do not undertand");
    return JPValue();
}

std::string JPRPCValue::debugDescription() const {
    return stringWithFormat("<JPRPCValue: %p>\n\nproperties: %s,\nnextPropertyName: %s,\nclassName: %s,\ntext: %s,\n"
                            "rpcValues: %s,\n",
                            static_cast<const void*>(this), JPValue::dictionary(properties).description().c_str(),
                            nextPropertyName ? nextPropertyName->c_str() : "nil", className.c_str(), text.c_str(),
                            JPValue(rpcValues).description().c_str());
}
