#pragma once

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"

// Writes a dictionary (anything else fails with the collection-type error) as JSON data or text;
// forms without options use none. See JPJKSerializer.
class NSDictionaryJSONCoreSerializing {
public:
    static RefPtr<JPJKData> JSONData(Object* dictionary) { return JSONDataWithOptions(0, nullptr, dictionary); }
    static RefPtr<JPJKData> JSONDataWithOptions(uint64_t options, JPJKError* error, Object* dictionary) {
        return refCast<JPJKData>(JPJKSerializer::serializeObject(dictionary, options, 9, nullptr, error));
    }
    // `delegate` is not retained.
    template <typename Delegate>
    static RefPtr<JPJKData> JSONDataWithOptions(uint64_t options, Delegate* delegate,
                                                RefPtr<Object> (Delegate::*selector)(Object*), JPJKError* error,
                                                Object* dictionary) {
        return refCast<JPJKData>(
            JPJKSerializer::serializeObject(dictionary, options, 9, JPJKDelegateFormatter(delegate, selector), error));
    }
    static RefPtr<JPJKString> JSONStringforDictionary(Object* dictionary) { return JSONStringWithOptions(0, nullptr, dictionary); }
    static RefPtr<JPJKString> JSONStringWithOptions(uint64_t options, JPJKError* error, Object* dictionary) {
        return refCast<JPJKString>(JPJKSerializer::serializeObject(dictionary, options, 10, nullptr, error));
    }
    template <typename Delegate>
    static RefPtr<JPJKString> JSONStringWithOptions(uint64_t options, Delegate* delegate,
                                                    RefPtr<Object> (Delegate::*selector)(Object*), JPJKError* error,
                                                    Object* dictionary) {
        return refCast<JPJKString>(
            JPJKSerializer::serializeObject(dictionary, options, 10, JPJKDelegateFormatter(delegate, selector), error));
    }
};
