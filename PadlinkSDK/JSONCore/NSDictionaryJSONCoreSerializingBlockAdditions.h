#pragma once

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"

// Writes a dictionary as NSDictionaryJSONCoreSerializing does, with a block for unsupported objects.
class NSDictionaryJSONCoreSerializingBlockAdditions {
public:
    static RefPtr<JPJKData> JSONDataWithOptions(uint64_t options, const JPJKUnsupportedFormatter& block, JPJKError* error,
                                                Object* dictionary) {
        return refCast<JPJKData>(JPJKSerializer::serializeObject(dictionary, options, 9, block, error));
    }
    static RefPtr<JPJKString> JSONStringWithOptions(uint64_t options, const JPJKUnsupportedFormatter& block,
                                                    JPJKError* error, Object* dictionary) {
        return refCast<JPJKString>(JPJKSerializer::serializeObject(dictionary, options, 10, block, error));
    }
};
