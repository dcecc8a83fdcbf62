#pragma once

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"

// Writes an array (anything else fails with the collection-type error) as JSON data or text;
// forms without options use none. See JPJKSerializer.
class NSArrayJSONCoreSerializing {
public:
    static RefPtr<JPJKData> JSONDataforNSArray(Object* array) { return JSONDataWithOptions(0, nullptr, array); }
    static RefPtr<JPJKData> JSONDataWithOptions(uint64_t options, JPJKError* error, Object* array) {
        return refCast<JPJKData>(JPJKSerializer::serializeObject(array, options, 9, nullptr, error));
    }
    // `delegate` is not retained.
    template <typename Delegate>
    static RefPtr<JPJKData> JSONDataWithOptions(uint64_t options, Delegate* delegate,
                                                RefPtr<Object> (Delegate::*selector)(Object*), JPJKError* error,
                                                Object* array) {
        return refCast<JPJKData>(
            JPJKSerializer::serializeObject(array, options, 9, JPJKDelegateFormatter(delegate, selector), error));
    }
    static RefPtr<JPJKString> JSONStringforNSArray(Object* array) { return JSONStringWithOptions(0, nullptr, array); }
    static RefPtr<JPJKString> JSONStringWithOptions(uint64_t options, JPJKError* error, Object* array) {
        return refCast<JPJKString>(JPJKSerializer::serializeObject(array, options, 10, nullptr, error));
    }
    template <typename Delegate>
    static RefPtr<JPJKString> JSONStringWithOptions(uint64_t options, Delegate* delegate,
                                                    RefPtr<Object> (Delegate::*selector)(Object*), JPJKError* error,
                                                    Object* array) {
        return refCast<JPJKString>(
            JPJKSerializer::serializeObject(array, options, 10, JPJKDelegateFormatter(delegate, selector), error));
    }
};
