#pragma once

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"

// Writes an array as NSArrayJSONCoreSerializing does, with a block for unsupported objects.
class NSArrayJSONCoreSerializingBlockAdditions {
public:
    static RefPtr<JPJKData> JSONDataWithOptions(uint64_t options, const JPJKUnsupportedFormatter& block, JPJKError* error,
                                                Object* array) {
        return refCast<JPJKData>(JPJKSerializer::serializeObject(array, options, 9, block, error));
    }
    static RefPtr<JPJKString> JSONStringWithOptions(uint64_t options, const JPJKUnsupportedFormatter& block,
                                                    JPJKError* error, Object* array) {
        return refCast<JPJKString>(JPJKSerializer::serializeObject(array, options, 10, block, error));
    }
};
