#pragma once

#include "PadlinkSDK/JSONCore/JPJSONDecoder.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"

// Parses the JSON text of a string (not null) with a decoder of its own, so nothing is cached
// between calls. Forms without options use none; results and errors as JPJSONDecoder's.
class NSStringJSONCoreDeserializing {
public:
    static RefPtr<Object> objectFromJSONStringforNSString(const JPJKString* string) {
        return parse(JPJKParseOptionNone, nullptr, string, false);
    }
    static RefPtr<Object> objectFromJSONStringWithParseOptions(uint64_t options, const JPJKString* string) {
        return parse(options, nullptr, string, false);
    }
    static RefPtr<Object> objectFromJSONStringWithParseOptions(uint64_t options, JPJKError* error, const JPJKString* string) {
        return parse(options, error, string, false);
    }
    static RefPtr<Object> mutableObjectFromJSONStringforNSString(const JPJKString* string) {
        return parse(JPJKParseOptionNone, nullptr, string, true);
    }
    static RefPtr<Object> mutableObjectFromJSONStringWithParseOptions(uint64_t options, const JPJKString* string) {
        return parse(options, nullptr, string, true);
    }
    static RefPtr<Object> mutableObjectFromJSONStringWithParseOptions(uint64_t options, JPJKError* error,
                                                                      const JPJKString* string) {
        return parse(options, error, string, true);
    }

private:
    static RefPtr<Object> parse(uint64_t options, JPJKError* error, const JPJKString* string, bool isMutable) {
        CC_REQUIRE(string, "NSInvalidArgumentException", "The string argument is NULL.");
        const RefPtr<JPJSONDecoder> decoder = JPJSONDecoder::decoderWithParseOptions(options);
        const std::string& text = string->UTF8String();
        return isMutable ? decoder->mutableObjectWithUTF8String(text.data(), text.size(), error)
                         : decoder->objectWithUTF8String(text.data(), text.size(), error);
    }
};
