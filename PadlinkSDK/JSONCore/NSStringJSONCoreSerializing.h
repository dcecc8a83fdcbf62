#pragma once

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"

// Writes a string (anything else fails with the string-type error) as an escaped JSON string,
// with or without its quotes; forms without options write the quotes. See JPJKSerializer.
class NSStringJSONCoreSerializing {
public:
    static RefPtr<JPJKData> JSONDataforNSString(Object* string) { return JSONDataWithOptions(0, true, nullptr, string); }
    static RefPtr<JPJKData> JSONDataWithOptions(uint64_t options, bool includeQuotes, JPJKError* error, Object* string) {
        return refCast<JPJKData>(JPJKSerializer::serializeObject(string, options, includeQuotes ? 17 : 49, nullptr, error));
    }
    static RefPtr<JPJKString> JSONStringforNSString(Object* string) { return JSONStringWithOptions(0, true, nullptr, string); }
    static RefPtr<JPJKString> JSONStringWithOptions(uint64_t options, bool includeQuotes, JPJKError* error, Object* string) {
        return refCast<JPJKString>(JPJKSerializer::serializeObject(string, options, includeQuotes ? 18 : 50, nullptr, error));
    }
};
